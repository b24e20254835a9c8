// Player operations against a recording server: the requests each sends, in order, and what the
// window shows afterwards.
#include <functional>
#include <map>

#include "client_fixture.h"
#include "sha256_hex.h"

namespace dravo::test {
namespace {

using Step = std::function<void(RemoteSession&)>;

struct OperationCase {
    const char* name;
    std::map<std::string, std::string> replies;  // target -> body, on top of the defaults
    Step prepare;                                // run before the records start
    Step operation;
    std::vector<std::string> targets;
    std::vector<std::string> announcements;
    std::vector<std::string> sliders = {};
};

void PrintTo(const OperationCase& c, std::ostream* out) { *out << c.name; }

const std::map<std::string, std::string> kDefaults = {{"/title", "A - B\r\n"},
                                                      {"/status", ""},
                                                      {"/next", ""},
                                                      {"/prev", ""},
                                                      {"/play", ""},
                                                      {"/pause", ""},
                                                      {"/stop", ""},
                                                      {"/playmode?shuffle=on", ""},
                                                      {"/playmode?shuffle=off", ""},
                                                      {"/mute", "40"},
                                                      {"/ffwd", "New position: [1:23 / 4:05]\n"},
                                                      {"/rewind", "New position: [0:05 / 4:05]\n"},
                                                      {"/version", "dravo_srv v1.14"}};

const Step kSeenTitle = [](RemoteSession& s) { s.refresh_title(); };
Step volume_at(int v) {
    return [v](RemoteSession& s) {
        s.refresh_title();
        s.set_volume(v);
    };
}

const OperationCase kCases[] = {
    {"next", {}, kSeenTitle, [](RemoteSession& s) { s.next_track(); }, {"/next", "/title"}, {}},
    {"next announces a new title",
     {},
     {},
     [](RemoteSession& s) { s.next_track(); },
     {"/next", "/title"},
     {"A - B"}},
    {"prev", {}, kSeenTitle, [](RemoteSession& s) { s.previous_track(); }, {"/prev", "/title"}, {}},
    {"play",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.start_playback(); },
     {"/status", "/play", "/title"},
     {}},
    {"pause",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.pause_playback(); },
     {"/status", "/pause", "/title"},
     {}},
    {"stop",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.stop_playback(); },
     {"/stop", "/title"},
     {"Stop"}},
    {"toggle before any status plays",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.toggle_play_pause(); },
     {"/status", "/play", "/title"},
     {}},
    {"toggle while playing pauses",
     {},
     [](RemoteSession& s) { s.start_playback(); },
     [](RemoteSession& s) { s.toggle_play_pause(); },
     {"/status", "/pause", "/title"},
     {}},
    {"ffwd with title",
     {},
     {},
     [](RemoteSession& s) { s.seek_forward(); },
     {"/ffwd", "/title"},
     {"[1:23 / 4:05], A - B"}},
    {"rewind while stopped",
     {{"/title", ""}},
     {},
     [](RemoteSession& s) { s.seek_back(); },
     {"/rewind", "/title"},
     {"[0:05 / 4:05]"}},
    {"seek answer without position",
     {{"/ffwd", "nothing"}},
     {},
     [](RemoteSession& s) { s.seek_forward(); },
     {"/ffwd"},
     {}},
    {"volume above range",
     {},
     volume_at(90),
     [](RemoteSession& s) { s.set_volume(120); },
     {"/title", "/volume?volume=100"},
     {"Volume 100%: A - B"},
     {"0"}},
    {"volume below range",
     {},
     volume_at(90),
     [](RemoteSession& s) { s.set_volume(-5); },
     {"/volume?volume=0"},
     {"Mute"},
     {"100"}},
    {"unchanged volume is sent anyway",
     {},
     volume_at(90),
     [](RemoteSession& s) { s.set_volume(90); },
     {"/volume?volume=90"},
     {},
     {"10"}},
    {"mute reads the new volume",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.toggle_mute(); },
     {"/mute", "/title"},
     {"Volume 40%: A - B"},
     {"60"}},
    {"mute answer without number",
     {{"/mute", "x"}},
     kSeenTitle,
     [](RemoteSession& s) { s.toggle_mute(); },
     {"/mute"},
     {"Mute"},
     {"100"}},
    {"shuffle on",
     {},
     kSeenTitle,
     [](RemoteSession& s) { s.toggle_shuffle(); },
     {"/playmode?shuffle=on", "/title"},
     {"Shuffle on: A - B"}},
    {"shuffle off",
     {},
     [](RemoteSession& s) { s.toggle_shuffle(); },
     [](RemoteSession& s) { s.toggle_shuffle(); },
     {"/playmode?shuffle=off", "/title"},
     {"Shuffle off: A - B"}},
};

class PlayerCommandsTest : public ClientFixture,
                           public ::testing::WithParamInterface<OperationCase> {};

TEST_P(PlayerCommandsTest, SendsItsRequestsInOrderAndAnnounces) {
    const auto& c = GetParam();
    for (const auto& [target, body] : kDefaults) {
        server.set_reply(target, {200, c.replies.contains(target) ? c.replies.at(target) : body});
    }
    server.set_reply("/volume?volume=90", {200, ""});
    if (c.prepare) {
        c.prepare(session());
    }
    const auto before = server.targets().size();
    view.lines.clear();
    c.operation(session());
    const auto targets = server.targets();
    EXPECT_EQ(std::vector<std::string>(targets.begin() + static_cast<long>(before), targets.end()),
              c.targets);
    EXPECT_EQ(view.with("osd:"), c.announcements);
    if (!c.sliders.empty()) {
        EXPECT_EQ(view.with("slider:"), c.sliders);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, PlayerCommandsTest, ::testing::ValuesIn(kCases),
                         [](const auto& test_info) {
                             std::string name = test_info.param.name;
                             for (auto& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

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
