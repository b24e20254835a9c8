// Scan of a 100,000-file tree against `find DIR -type f` on the same tree. Target: the scan
// takes at most 1.5 times as long as find. The tree is made once and kept in the temp folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "media_cache.h"
#include "text.h"
#include "server_settings.h"

namespace {

using namespace dravo;
namespace fs = std::filesystem;

constexpr int kArtists = 10;
constexpr int kAlbums = 100;  // per artist
constexpr int kTracks = 100;  // per album: 100,000 files in all

const std::string& tree() {
    static const std::string root = [] {
        std::string dir = (fs::temp_directory_path() / "dravo_scan_bench").string() + "/";
        if (fs::exists(dir + "complete")) {
            return dir;
        }
        fs::remove_all(dir);
        for (int a = 0; a < kArtists; ++a) {
            for (int b = 0; b < kAlbums; ++b) {
                std::string album =
                    dir + "Artist " + std::to_string(a) + "/Album " + std::to_string(b) + "/";
                fs::create_directories(album);
                for (int t = 0; t < kTracks; ++t) {
                    const char* ext = t % 10 == 9 ? ".jpg" : t % 10 == 8 ? ".ogg" : ".mp3";
                    std::ofstream(album + std::to_string(t) + " Track title" + ext);
                }
            }
        }
        std::ofstream(dir + "complete");
        return dir;
    }();
    return root;
}

std::size_t scan_once() {
    std::vector<std::string> found;
    MediaCache::scan_directory(tree(), "", ExtensionSet("mp3 ogg wav url"), found);
    return found.size();
}

void find_once() {
    std::string command = "find '" + tree() + "' -type f > /dev/null";
    if (std::system(command.c_str()) != 0) {
        std::abort();
    }
}

void BM_ScanDirectory(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan_once());
    }
}

// The whole refresh: scan, lower-cased subjects and the cache file.
void BM_Rebuild(benchmark::State& state) {
    const MediaSource source{with_trailing_separator(tree()), "mp3 ogg wav url"};
    std::string module = (fs::temp_directory_path() / "dravo_scan_bench_module").string() + "/";
    fs::create_directories(module);
    MediaCache cache(module);
    for (auto _ : state) {
        cache.refresh(source);
    }
}

void BM_Find(benchmark::State& state) {
    for (auto _ : state) {
        find_once();
    }
}

double median_ms(const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

BENCHMARK(BM_ScanDirectory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    tree();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Medians of nine runs each, on the page cache the runs above have warmed.
    double scan = median_ms([] { scan_once(); });
    double find = median_ms(find_once);
    std::printf("scan %.1f ms, find %.1f ms, ratio %.2f (target <= 1.5)\n", scan, find,
                scan / find);
    return 0;
}
