// A filter request on a listener-like thread and the dialog's refresh at the same time: each
// waits for the other, and the filter sees either the whole old cache or the whole new one.
// Meant to run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "config_fixture.h"
#include "player_control.h"
#include "track_filter.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 150;

class FilterRefreshTest : public ::testing::Test, public ConfigFixture {
protected:
    FilterRefreshTest() : host_(module_), player_(host_), filter_(cache_, player_) {
        setenv("TMP", temp_.path().c_str(), 1);
        std::vector<std::string> names;
        for (int folder = 0; folder < kFolders; ++folder) {
            for (int file = 0; file < kFilesPerFolder; ++file) {
                names.push_back("f" + std::to_string(folder) + "/new" + std::to_string(file) +
                                ".mp3");
            }
        }
        make_files(folder("music"), names);
        // The cache as an earlier run left it: one old entry, loaded before the refresh.
        write_file(cache_.cache_file_path(), "old.mp3\r\n");
        auto held = cache_.lock();
        cache_.ensure_loaded(held, source());
    }
    ~FilterRefreshTest() override { unsetenv("TMP"); }

    // Lines of the temporary playlist the last filter wrote.
    std::vector<std::string> playlist() const {
        std::istringstream in(read_file(temp_.file(kTempPlaylistName)));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    QuietHost host_;
    PlayerControl player_;
    TrackFilter filter_;
};

TEST_F(FilterRefreshTest, FilterArrivingDuringARefreshWaitsAndSeesTheNewCache) {
    // On a loaded machine the scan may end before the filter is sent; each try starts from the
    // old cache again, and at least one must overlap for the test to mean something.
    bool overlapped = false;
    for (int attempt = 0; attempt < 20 && !overlapped; ++attempt) {
        const std::string module = folder("module" + std::to_string(attempt)) + "/";
        std::filesystem::create_directories(module);
        write_file(module + kCacheFileName, "old.mp3\r\n");
        MediaCache cache(module);
        cache.ensure_loaded(cache.lock(), source());
        TrackFilter filter(cache, player_);
        ServerConfig config(settings_, &cache, capture());
        config.apply({"81", folder("music"), "mp3"});
        config.start_rebuild();
        // Once the scan has found something it holds the cache's lock.
        while (config.files_found() == 0 && config.rebuilding()) {
            std::this_thread::yield();
        }
        overlapped = config.rebuilding();
        std::thread listener([&] { filter.apply("new", source()); });
        listener.join();
        config.finish_rebuild();

        const auto lines = playlist();
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(kFolders * kFilesPerFolder));
        for (const auto& line : lines) {
            EXPECT_EQ(line.find("old.mp3"), std::string::npos);
        }
    }
    EXPECT_TRUE(overlapped) << "the scan always ended before the filter arrived";
}

TEST_F(FilterRefreshTest, RefreshDuringAFilterPassWaitsForIt) {
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"81", folder("music"), "mp3"});
    std::atomic<bool> filtering{false};
    std::atomic<bool> release{false};
    std::thread listener([&] {
        auto held = cache_.lock();  // a filter pass: ensure_loaded and the selection
        cache_.ensure_loaded(held, source());
        filtering = true;
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
        EXPECT_EQ(cache_.size(held), 1u);
        EXPECT_EQ(cache_.entry(held, 0), "old.mp3");
    });
    while (!filtering) {
        std::this_thread::yield();
    }
    config.start_rebuild();
    std::this_thread::sleep_for(30ms);
    EXPECT_TRUE(config.rebuilding());
    EXPECT_EQ(config.files_found(), 0u);
    EXPECT_EQ(cache_file(), "old.mp3\r\n");
    release = true;
    listener.join();
    config.finish_rebuild();
    EXPECT_EQ(config.files_found(), static_cast<std::size_t>(kFolders * kFilesPerFolder));

    // Many filters racing many refreshes: every pass sees a whole cache.
    std::atomic<bool> stop{false};
    std::thread requests([&] {
        while (!stop) {
            filter_.apply("new1", source());
            const auto lines = playlist();
            // new1, new10-new19 and new100-new149 in every folder
            EXPECT_EQ(lines.size(), static_cast<std::size_t>(kFolders) * 61);
        }
    });
    for (int i = 0; i < 5; ++i) {
        config.start_rebuild();
        config.finish_rebuild();
    }
    stop = true;
    requests.join();
}

}  // namespace
}  // namespace dravo::test
