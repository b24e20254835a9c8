// Status answers applied to the local state, and the order of a status tick.
#include "client_fixture.h"
#include "remote_protocol.h"

namespace dravo::test {
namespace {

struct StatusCase {
    const char* answer;
    bool playing;
    bool paused;
    int volume;
    std::vector<std::string> boxes;
    std::vector<std::string> announcements;
};

void PrintTo(const StatusCase& c, std::ostream* out) { *out << '"' << c.answer << '"'; }

// The local state starts at volume 50, stopped, shuffle unknown; the title is "T".
const StatusCase kCases[] = {
    {"playing: 3\nrepeat: 1\nshuffle: 1\nvolume: 40\nfilter: x\n",
     true,
     true,
     40,
     {"on"},
     {"Volume 40%: T"}},
    {"playing: 1\r\nvolume: 50\r\n", true, false, 50, {}, {}},
    {"playing: 0\n", false, false, 50, {}, {}},
    {"volume: 0\n", false, false, 0, {}, {"Mute"}},
    {"volume: 250", false, false, 100, {}, {"Volume 100%: T"}},
    {"volume: 4294967295\n", false, false, 0, {}, {"Mute"}},  // wraps to -1
    {"shuffle: 2\n", false, false, 50, {"off"}, {}},
    {"Volume: 10\nvolume 10\nvolume:10\nPLAYING: 1\n", false, false, 50, {}, {}},
    {"volume: 30\nvolume: 70\nplaying: 3\nplaying: 1\n",
     true,
     false,
     70,
     {},
     {"Volume 30%: T", "Volume 70%: T"}},
    {"\n\n  playing:\t1 extra words\n\nvolume:\n", true, false, 0, {}, {"Mute"}},
    {"", false, false, 50, {}, {}},
};

class StatusPollTest : public ClientFixture, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusPollTest, AnswerLinesApplyInOrder) {
    const auto& c = GetParam();
    server.set_reply("/status", {200, c.answer});
    server.set_reply("/title", {200, "T"});
    session().poll_status();
    const auto& state = session().state();
    EXPECT_EQ(state.is_playing, c.playing);
    EXPECT_EQ(state.is_paused, c.paused);
    EXPECT_EQ(state.volume, c.volume);
    EXPECT_EQ(state.shuffle_on, c.boxes == std::vector<std::string>{"on"});
    EXPECT_EQ(view.with("box:"), c.boxes);
    EXPECT_EQ(view.with("osd:"), c.announcements);
    if (const auto sliders = view.with("slider:"); !sliders.empty()) {
        EXPECT_EQ(sliders.back(), std::to_string(100 - c.volume));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, StatusPollTest, ::testing::ValuesIn(kCases));

TEST_F(StatusPollTest, TickPollsThenFetchesTitleThenRunsTheHookAndRepeatsNothing) {
    server.set_reply("/status", {200, "playing: 3\nshuffle: 1\nvolume: 40\n"});
    server.set_reply("/title", {200, "T"});
    std::vector<std::string> hook_saw;
    session().set_after_tick([&] { hook_saw.push_back(std::to_string(server.targets().size())); });
    session().status_tick();
    session().status_tick();
    EXPECT_EQ(server.targets(),
              (std::vector<std::string>{"/status", "/title", "/title", "/status", "/title"}));
    EXPECT_EQ(hook_saw, (std::vector<std::string>{"3", "5"}));
    EXPECT_EQ(view.with("osd:"), (std::vector<std::string>{"Volume 40%: T", "T"}));
    EXPECT_EQ(view.with("slider:"), (std::vector<std::string>{"60", "60"}));
}

TEST_F(StatusPollTest, ServerDownChangesNothing) {
    server_down();
    session().status_tick();
    session().status_tick();
    EXPECT_TRUE(view.lines.empty());
    EXPECT_EQ(session().state().volume, 50);
}

}  // namespace
}  // namespace dravo::test
