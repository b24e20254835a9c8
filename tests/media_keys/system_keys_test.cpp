// The whole way of a media key: xdotool under Xvfb, the shell hook, the test driver's client
// session, HTTP, the real plug-in in the real player host, which changes its track.
#include <algorithm>

#include "desktop_fixture.h"
#include "system_fixture.h"

namespace dravo::test {
namespace {

TEST(MediaKeySystem, NextKeyChangesTheHostsTrack) {
    const auto& music = SampleMusic::get();
    if (music.root.empty()) {
        GTEST_SKIP() << "sox, lame and oggenc make the music";
    }
    SystemHost host(music.root);
    ASSERT_TRUE(host.ready()) << host.host_errors();
    ASSERT_TRUE(host.body("/set_filter?filter=jazz"));
    // The long track, so that the track does not change by itself before the key.
    const auto list = host.body("/list").value_or("");
    const auto found = list.find("Blue Live");
    ASSERT_NE(found, std::string::npos) << list;
    const auto track = std::count(list.begin(), list.begin() + static_cast<long>(found), '\n') + 1;
    ASSERT_TRUE(host.body("/play?track=" + std::to_string(track)));
    // The title once it differs from before, or the last one when time runs out.
    auto title_other_than = [&](const std::string& before) {
        std::string now = before;
        for (auto until = std::chrono::steady_clock::now() + kPatience;
             (now = host.body("/title").value_or("")) == before &&
             std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(20ms);
        }
        return now;
    };
    const std::string first = title_other_than("");
    ASSERT_FALSE(first.empty());

    ChildProcess driver(
        {DRAVO_MEDIA_KEY_DRIVER, "http://127.0.0.1:" + std::to_string(host.port()) + "/"});
    const auto started = driver.wait_line("started", kPatience);
    ASSERT_TRUE(started && started->find("hook=1") != std::string::npos) << started.value_or("");
    press("XF86AudioNext");
    const std::string now = title_other_than(first);
    EXPECT_NE(now, first);
    EXPECT_FALSE(now.empty());
    EXPECT_EQ(host.body("/get_playing"), "1");
}

}  // namespace
}  // namespace dravo::test
