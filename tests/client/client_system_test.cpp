// The client's logic against the real host and plug-in with null audio, over HTTP.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "client_settings.h"
#include "recording_view.h"
#include "remote_session.h"
#include "request_runner.h"
#include "system_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

TEST(ClientSystem, FilterListPlayVolumeMuteNext) {
    const auto& music = SampleMusic::get();
    if (music.root.empty()) {
        GTEST_SKIP() << "sox, lame and oggenc make the music";
    }
    SystemHost host(music.root);
    ASSERT_TRUE(host.ready()) << host.host_errors();
    ClientSettings settings("");
    settings.servers = {"http://127.0.0.1:" + std::to_string(host.port()) + "/"};
    RecordingView view;
    BlockingRunner runner;
    RemoteSession session(settings, view, runner);
    // Ticks until the window shows what is wanted (playback starts a moment after the command).
    auto tick_until = [&](auto wanted) {
        for (auto until = std::chrono::steady_clock::now() + 10s;
             !wanted() && std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(20ms)) {
            session.status_tick();
        }
        return wanted();
    };

    view.filter = "jazz";
    session.apply_filter();
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(host.body("/get_filter"), "jazz");
    EXPECT_EQ(settings.mru_filter, std::vector<std::string>{"jazz"});

    view.selected = 2;
    session.play_selected();
    const std::string third = music.title_of(view.rows[2].substr(2));
    EXPECT_TRUE(tick_until([&] {
        return session.state().is_playing && session.state().last_title == third;
    })) << session.state().last_title;
    EXPECT_EQ(view.with("window:").back(), third);
    EXPECT_FALSE(session.state().is_paused);

    session.set_volume(40);
    EXPECT_EQ(host.body("/get_volume"), "40");
    session.toggle_mute();
    EXPECT_EQ(session.state().volume, 0);
    session.toggle_mute();
    EXPECT_EQ(session.state().volume, 40);
    EXPECT_EQ(host.body("/get_volume"), "40");
    const auto osd = view.with("osd:");
    EXPECT_EQ(std::vector<std::string>(osd.end() - 3, osd.end()),
              (std::vector<std::string>{"Volume 40%: " + third, "Mute", "Volume 40%: " + third}));

    session.next_track();
    EXPECT_TRUE(tick_until([&] { return session.state().last_title != third; }));
    EXPECT_FALSE(session.state().last_title.empty());
    EXPECT_EQ(host.body("/get_playing"), "1");
}

}  // namespace
}  // namespace dravo::test
