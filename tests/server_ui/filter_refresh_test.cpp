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
        for (int folder = 0; folder < kFolders; ++folder)
            for (int file = 0; file < kFilesPerFolder; ++file)
                names.push_back("f" + std::to_string(folder) + "/new" + std::to_string(file) +
                                ".mp3");
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
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    QuietHost host_;
    PlayerControl player_;
    TrackFilter filter_;
};

TEST_F(FilterRefreshTest, FilterArrivingDuringARefreshWaitsAndSeesTheNewCache) {
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"81", folder("music"), "mp3"});
    config.start_rebuild();
    // Once the scan has found something it holds the cache's lock.
    while (config.files_found() == 0 && config.rebuilding()) std::this_thread::yield();
    const bool overlapped = config.rebuilding();
    std::thread listener([this] { filter_.apply("new", source()); });
    listener.join();
    config.finish_rebuild();

    EXPECT_TRUE(overlapped) << "the scan ended before the filter arrived";
    const auto lines = playlist();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kFolders * kFilesPerFolder));
    for (const auto& line : lines) EXPECT_EQ(line.find("old.mp3"), std::string::npos);
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
        while (!release) std::this_thread::sleep_for(1ms);
        EXPECT_EQ(cache_.size(held), 1u);
        EXPECT_EQ(cache_.entry(held, 0), "old.mp3");
    });
    while (!filtering) std::this_thread::yield();
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
