// A filter request from the decoded text to the playlist handed to the player, over a loaded
// cache of 100,000 and 1,000,000 entries. Targets: < 50 ms and < 400 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "media_cache.h"
#include "player_control.h"
#include "plugin_host.h"
#include "server_settings.h"
#include "text.h"
#include "track_filter.h"

namespace {

using namespace dravo;

// Answers every message at once, as a player that keeps up would.
class NullHost : public PluginHost {
public:
    std::intptr_t send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
    bool post(std::uint32_t, std::uintptr_t, std::intptr_t) override { return true; }
    void message_box(const std::string&, const std::string&) override {}
    std::string module_directory() const override { return {}; }
};

std::string bench_dir(int count) {
    auto dir =
        std::filesystem::temp_directory_path() / "dravo_filter_bench" / std::to_string(count);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

// Entries shaped like a music collection: artist/album/track, a few national letters.
void write_cache_file(const std::string& path, int count) {
    static const char* words[] = {"Live",
                                  "Blue",
                                  "Note",
                                  "Jazz",
                                  "Night",
                                  "R\xC3\xB6"
                                  "d",
                                  "Love",
                                  "Demo",
                                  "Song",
                                  "\xC3\x85"
                                  "ter"};
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += "Artist " + std::to_string(i / 1000) + " " + words[i % 7] + "/Album " +
                 std::to_string(i / 12 % 100) + " " + words[(i / 12) % 10] + "/" +
                 std::to_string(i % 12 + 1) + " " + words[(i * 7) % 10] + " " + words[i % 3] + " " +
                 std::to_string(i) + ".mp3\r\n";
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

struct Setup {
    explicit Setup(int count)
        : directory(bench_dir(count)), player(host), cache(directory), filter(cache, player) {
        write_cache_file(directory + kCacheFileName, count);
        setenv("TMP", directory.c_str(), 1);
        cache.ensure_loaded(cache.lock(), source);
    }
    std::string directory;
    MediaSource source{"/srv/music/", "mp3 ogg wav url"};
    NullHost host;
    PlayerControl player;
    MediaCache cache;
    TrackFilter filter;
};

Setup& setup(int count) {
    static Setup small(100000);
    static Setup large(1000000);
    return count == 100000 ? small : large;
}

void BM_Filter(benchmark::State& state, const char* raw_filter) {
    Setup& s = setup(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        s.filter.apply(percent_decode_lenient(raw_filter), s.source);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The first request after a start: the cache file is read and the subjects are made.
void BM_LoadCacheFile(benchmark::State& state) {
    Setup& s = setup(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MediaCache fresh(s.directory);
        fresh.ensure_loaded(fresh.lock(), s.source);
    }
}

}  // namespace

BENCHMARK(BM_LoadCacheFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Filter, everything, "*")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Filter, one_word, "jazz")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Filter, mixed, "jazz%20blue%20+live%20-demo%20%22r%C3%96d%22")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Filter, empty, "")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
