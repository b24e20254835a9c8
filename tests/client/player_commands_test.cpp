// Player operations against a recording server: the requests each sends, in order, and what the
// window shows afterwards.
#include <functional>
#include <map>

#include "client_fixture.h"
#include "sha256_hex.h"

namespace dravo::test {
namespace {

using Step = std::function<void(RemoteSession&)>;
using S = RemoteSession;

struct OperationCase {
    const char* name;
    std::map<std::string, std::string> replies;  // target -> body, on top of the player's
    Step prepare;                                // run before the records start
    Step operation;
    Targets targets;
    std::vector<std::string> announcements;
    std::vector<std::string> sliders = {};
};

void PrintTo(const OperationCase& c, std::ostream* out) { *out << c.name; }

const Step kSeenTitle = &S::refresh_title;
Step volume(int v, bool title_first = false) {
    return [=](RemoteSession& s) {
        if (title_first) {
            s.refresh_title();
        }
        s.set_volume(v);
    };
}

const OperationCase kCases[] = {
    {"next", {}, kSeenTitle, &S::next_track, kNext, {}},
    {"next announces a new title", {}, {}, &S::next_track, kNext, {"A - B"}},
    {"prev", {}, kSeenTitle, &S::previous_track, kPrev, {}},
    {"play", {}, kSeenTitle, &S::start_playback, kPlay, {}},
    {"pause", {}, kSeenTitle, &S::pause_playback, kPause, {}},
    {"stop", {}, kSeenTitle, &S::stop_playback, kStop, {"Stop"}},
    {"toggle before any status plays", {}, kSeenTitle, &S::toggle_play_pause, kPlay, {}},
    {"toggle while playing pauses", {}, &S::start_playback, &S::toggle_play_pause, kPause, {}},
    {"ffwd with title", {}, {}, &S::seek_forward, kForward, {"[1:23 / 4:05], A - B"}},
    {"rewind while stopped", {{"/title", ""}}, {}, &S::seek_back, kBack, {"[0:05 / 4:05]"}},
    {"seek answer without position", {{"/ffwd", "nothing"}}, {}, &S::seek_forward, {"/ffwd"}, {}},
    {"volume above range",
     {},
     volume(90, true),
     volume(120),
     {"/title", "/volume?volume=100"},
     {"Volume 100%: A - B"},
     {"0"}},
    {"volume below range",
     {},
     volume(90, true),
     volume(-5),
     {"/volume?volume=0"},
     {"Mute"},
     {"100"}},
    {"unchanged volume is sent anyway",
     {},
     volume(90, true),
     volume(90),
     {"/volume?volume=90"},
     {},
     {"10"}},
    {"mute reads the new volume",
     {},
     kSeenTitle,
     &S::toggle_mute,
     {"/mute", "/title"},
     {"Volume 40%: A - B"},
     {"60"}},
    {"mute answer without number",
     {{"/mute", "x"}},
     kSeenTitle,
     &S::toggle_mute,
     {"/mute"},
     {"Mute"},
     {"100"}},
    {"shuffle on", {}, kSeenTitle, &S::toggle_shuffle, kShuffle, {"Shuffle on: A - B"}},
    {"shuffle off",
     {},
     &S::toggle_shuffle,
     &S::toggle_shuffle,
     {"/playmode?shuffle=off", "/title"},
     {"Shuffle off: A - B"}},
};

class PlayerCommandsTest : public ClientFixture,
                           public ::testing::WithParamInterface<OperationCase> {};

TEST_P(PlayerCommandsTest, SendsItsRequestsInOrderAndAnnounces) {
    const auto& c = GetParam();
    serve_player(c.replies);
    server.set_reply("/volume?volume=90", {200, ""});
    if (c.prepare) {
        c.prepare(session());
    }
    const auto before = server.targets().size();
    view.lines.clear();
    c.operation(session());
    const auto targets = server.targets();
    EXPECT_EQ(Targets(targets.begin() + static_cast<long>(before), targets.end()), c.targets);
    EXPECT_EQ(view.with("osd:"), c.announcements);
    if (!c.sliders.empty()) {
        EXPECT_EQ(view.with("slider:"), c.sliders);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, PlayerCommandsTest, ::testing::ValuesIn(kCases), CaseName());

TEST_F(PlayerCommandsTest, ServerDownChangesStateButNeverTheTitle) {
    server_down();
    session().toggle_mute();
    session().toggle_shuffle();
    session().stop_playback();
    session().next_track();
    EXPECT_EQ(view.with("osd:"), (std::vector<std::string>{"Mute", "Shuffle on: ", "Stop"}));
    EXPECT_EQ(view.with("slider:"), std::vector<std::string>{"100"});
    EXPECT_TRUE(view.with("window:").empty());
    EXPECT_EQ(view.with("box:"), (std::vector<std::string>{"two-state", "on"}));
    EXPECT_FALSE(session().state().is_paused);  // next clears what stop set
    EXPECT_FALSE(session().state().is_playing);
}

TEST_F(PlayerCommandsTest, TitleIsAnnouncedOnlyWhenItChanges) {
    for (const char* title : {"A", "A", "B", "A", ""}) {
        server.set_reply("/title", {200, title});
        session().refresh_title();
    }
    EXPECT_EQ(view.with("osd:"), (std::vector<std::string>{"A", "B", "A", ""}));
    EXPECT_EQ(view.with("tip:"), (std::vector<std::string>{"A", "A", "B", "A", ""}));
    settings.osd_on_new_track = false;
    server.set_reply("/title", {200, "C"});
    session().refresh_title();
    EXPECT_EQ(view.with("label:").back(), "C");
    EXPECT_EQ(view.with("osd:").size(), 4u);
}

TEST_F(PlayerCommandsTest, AboutAndUpdateMessages) {
    server.set_reply("/version", {200, "dravo_srv v1.14"});
    server.set_reply("/update", {200, "You're running the latest version."});
    server.set_reply("/dravo/version.txt", {200, "167 sha256=" + sha256_hex("x")});
    session().show_about();
    session().request_update();
    server_down();
    session().show_about();
    session().request_update();
    const std::string about_tail = "\ndravo v1.67\n\nCopyright (C) the dravo authors\n";
    const auto messages = view.with("message:");
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].rfind("dravo_srv v1.14" + about_tail, 0), 0u) << messages[0];
    EXPECT_EQ(messages[1],
              "dravo_srv: You're running the latest version.\n\ndravo: You're running the latest "
              "version.");
    EXPECT_EQ(messages[2].rfind("dravo_srv: Couldn't connect to dravo_srv.\n" + about_tail, 0), 0u)
        << messages[2];
    EXPECT_EQ(
        messages[3].rfind("dravo_srv: Couldn't connect to dravo_srv.\n\ndravo: You're running", 0),
        0u);
    EXPECT_TRUE(view.with("quit").empty());
}

}  // namespace
}  // namespace dravo::test
