// Every command over HTTP against the real host with the plug-in and null audio.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "loopback_client.h"
#include "system_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> lines_of(const std::string& body) {
    std::vector<std::string> lines;
    std::istringstream in(body);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

class Protocol : public ::testing::Test {
protected:
    void SetUp() override {
        if (SampleMusic::get().root.empty()) {
            GTEST_SKIP() << "sox, lame and oggenc make the music";
        }
        host = std::make_unique<SystemHost>(SampleMusic::get().root);
        ASSERT_TRUE(host->ready()) << host->host_errors();
    }
    std::string ask(const std::string& target) { return host->body(target).value_or("<none>"); }
    // Polls until the answer is as wanted; the last answer.
    std::string wait_for(const std::string& target, const std::string& wanted) {
        std::string last;
        for (auto until = std::chrono::steady_clock::now() + 10s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
            if ((last = ask(target)) == wanted) {
                break;
            }
        }
        return last;
    }
    std::unique_ptr<SystemHost> host;
};

TEST_F(Protocol, ValueQueriesOnAFreshHost) {
    EXPECT_EQ(get(host->port(), "/version"), header_bytes() + "dravo_srv v1.14");
    EXPECT_EQ(ask("/get_playing"), "0");
    EXPECT_EQ(ask("/get_filter"), "");
    EXPECT_EQ(ask("/title"), "");
    EXPECT_EQ(ask("/list"), "");
    EXPECT_EQ(ask("/ffwd"), "New position: [0:00 / 0:00]\n");
    std::string status = ask("/status");
    auto lines = lines_of(status);
    ASSERT_EQ(lines.size(), 5u) << status;
    EXPECT_EQ(status.back(), '\n');
    EXPECT_EQ(lines[0], "playing: 0");
    EXPECT_EQ(lines[4], "filter: ");
}

TEST_F(Protocol, FilterListsTheMatchingFilesAndPlayPicksTheNthLine) {
    EXPECT_EQ(ask("/set_filter?filter=jazz"), "ok");
    EXPECT_EQ(ask("/get_filter"), "jazz");
    const auto& music = SampleMusic::get();
    std::string list = ask("/list");
    auto lines = lines_of(list);
    ASSERT_EQ(lines.size(), 3u) << list;
    EXPECT_EQ(list.back(), '\n');
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{music.root + "/Jazz/Live/Blue Live.mp3",
                                                music.root + "/Jazz/Studio Take.ogg",
                                                music.root + "/Rock/jazzy untagged.wav"}));
    for (std::size_t n = lines.size(); n >= 1; --n) {
        EXPECT_EQ(ask("/play?track=" + std::to_string(n)), "");
        EXPECT_EQ(wait_for("/title", music.title_of(lines[n - 1])), music.title_of(lines[n - 1]))
            << "track " << n;
    }
    EXPECT_EQ(ask("/get_playing"), "1");

    // A second filter replaces the playlist; national capitals match their small letters.
    EXPECT_EQ(ask("/set_filter?filter=V%C3%84RLD%20-jazz"), "ok");
    EXPECT_EQ(ask("/list"), music.root + "/Rock/Värld.mp3\n");
    EXPECT_EQ(ask("/set_filter?filter=%22no%20such%22"), "ok");
    EXPECT_EQ(ask("/list"), "");
    EXPECT_EQ(lines_of(ask("/status")).back(), "filter: \"no such\"");
}

TEST_F(Protocol, VolumeMuteAndPlaymode) {
    EXPECT_EQ(ask("/volume?volume=100"), "");
    EXPECT_EQ(ask("/get_volume"), "100");
    EXPECT_EQ(ask("/volume?volume=50"), "");
    EXPECT_EQ(ask("/get_volume"), "50");
    EXPECT_EQ(ask("/mute"), "0");
    EXPECT_EQ(ask("/mute"), "50");
    EXPECT_EQ(ask("/volume?volume=abc"), "");
    EXPECT_EQ(ask("/get_volume"), "0");

    EXPECT_EQ(ask("/playmode?repeat=on&shuffle=off"), "");
    EXPECT_EQ(ask("/status"), "playing: 0\nrepeat: 1\nshuffle: 0\nvolume: 0\nfilter: \n");
    EXPECT_EQ(ask("/playmode?shuffle=toggle"), "");
    EXPECT_EQ(ask("/get_shuffle"), "1");
    EXPECT_EQ(ask("/playmode?shuffle=toggle&repeat=off"), "");
    EXPECT_EQ(ask("/get_shuffle"), "0");
    EXPECT_EQ(ask("/get_repeat"), "0");
}

TEST_F(Protocol, TransportCommandsDriveThePlayer) {
    ASSERT_EQ(ask("/set_filter?filter=live%20song"), "ok");
    auto lines = lines_of(ask("/list"));
    ASSERT_EQ(lines.size(), 2u);
    const auto& music = SampleMusic::get();
    std::size_t live = lines[0].find("Live") != std::string::npos ? 1 : 2;
    EXPECT_EQ(ask("/play?track=" + std::to_string(live)), "");
    EXPECT_EQ(wait_for("/get_playing", "1"), "1");
    EXPECT_EQ(ask("/pause"), "");
    EXPECT_EQ(ask("/get_playing"), "3");
    EXPECT_EQ(ask("/title"), "[paused] " + music.title_of(lines[live - 1]));
    EXPECT_EQ(ask("/play"), "");
    EXPECT_EQ(ask("/get_playing"), "1");
    // The length is known once the file is open; a rewind at the start moves nothing.
    std::string line;
    for (auto until = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < until &&
         ask("/rewind").find(" / 0:1") == std::string::npos;
         std::this_thread::sleep_for(20ms)) {
    }
    line = ask("/ffwd");
    EXPECT_EQ(line.substr(0, 17), "New position: [0:") << line;
    EXPECT_NE(line.find(" / 0:1"), std::string::npos) << "a 12-second track: " << line;
    EXPECT_EQ(line.substr(line.size() - 2), "]\n");
    EXPECT_EQ(ask("/rewind").substr(0, 17), "New position: [0:");
    EXPECT_EQ(ask("/next"), "");
    EXPECT_EQ(wait_for("/title", music.title_of(lines[live % 2])), music.title_of(lines[live % 2]));
    EXPECT_EQ(ask("/prev"), "");
    EXPECT_EQ(wait_for("/title", music.title_of(lines[live - 1])), music.title_of(lines[live - 1]));
    EXPECT_EQ(ask("/stop"), "");
    EXPECT_EQ(ask("/get_playing"), "0");
    EXPECT_EQ(ask("/title"), "");
}

TEST_F(Protocol, UnknownPathsAreNoticedOnTheHostAndAnsweredWithTheHeader) {
    EXPECT_EQ(get(host->port(), "/Status?x=1"), header_bytes());
    EXPECT_EQ(get(host->port(), "/version"), header_bytes() + "dravo_srv v1.14");
    EXPECT_NE(host->host_errors().find("cmd: '/Status'"), std::string::npos) << host->host_errors();
}

TEST_F(Protocol, ShutdownEndsTheHostInOrder) {
    EXPECT_EQ(get(host->port(), "/shutdown"), header_bytes());
    EXPECT_EQ(host->process().wait_exit(10s), 0) << host->host_errors();
    EXPECT_FALSE(wait_for_port(host->port(), 300));
}

}  // namespace
}  // namespace dravo::test
