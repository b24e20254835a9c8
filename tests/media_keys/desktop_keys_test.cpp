// The test driver under Xvfb: keys pressed with xdotool reach a recording server as the
// requests of their bindings, a key another program holds leaves the others working, and after
// the service stops no key arrives.
#include "desktop_fixture.h"

namespace dravo::test {
namespace {

struct KeyCase {
    const char* name;
    std::vector<std::string> presses;  // xdotool key arguments, in order
    Targets targets;
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

const Targets kNext = {"/next", "/title"};
const Targets kPrev = {"/prev", "/title"};

const KeyCase kKeyCases[] = {
    {"next", {"XF86AudioNext"}, kNext},
    {"shift_volume_up_by_one", {"shift+XF86AudioRaiseVolume"}, {"/title", "/volume?volume=51"}},
    {"play_key_plays_when_stopped", {"XF86AudioPlay"}, {"/status", "/play", "/title"}},
    {"pause", {"XF86AudioPause"}, {"/status", "/pause", "/title"}},
    {"calculator_is_next", {"XF86Calculator"}, kNext},
    {"ctrl_shift_mail_stops", {"ctrl+shift+XF86Mail"}, {"/stop", "/title"}},
    // A press that does nothing, then one that shows the first was not merely slow.
    {"ctrl_next_does_nothing", {"ctrl+XF86AudioNext", "XF86AudioPrev"}, kPrev},
    {"alt_next_is_not_ours", {"alt+XF86AudioNext", "XF86AudioPrev"}, kPrev},
    {"caps_lock_on", {"Caps_Lock", "XF86AudioNext", "Caps_Lock"}, kNext},
    {"num_lock_on",
     {"Num_Lock", "shift+XF86AudioPrev", "Num_Lock", "XF86AudioNext"},
     {"/rewind", "/next", "/title"}},
};

class KeysUnderX : public DriverFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeysUnderX, SendTheRequestsOfTheirBinding) {
    server.set_reply("/rewind", {200, ""});
    ASSERT_NE(start_driver().find("hook=1"), std::string::npos);
    for (const auto& keys : GetParam().presses) {
        press(keys);
    }
    EXPECT_EQ(targets_after(GetParam().targets.size()), GetParam().targets);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeysUnderX, ::testing::ValuesIn(kKeyCases),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(DriverFixture, AfterStopNoKeyArrivesAndTheGrabIsReleased) {
    ASSERT_NE(start_driver().find("hook=1"), std::string::npos);
    press("XF86AudioNext");
    ASSERT_EQ(targets_after(2), kNext);
    command("stop");
    std::string answer;
    auto holder = hold_key("XF86AudioNext", answer);
    EXPECT_EQ(answer, "grabbed");
    holder.reset();
    press("XF86AudioNext");
    std::this_thread::sleep_for(300ms);  // a key that did arrive would be handled before the title
    command("title");
    EXPECT_EQ(targets_after(3), (Targets{"/next", "/title", "/title"}));
}

TEST_F(DriverFixture, KeyHeldByAnotherProgramLeavesTheOthersWorking) {
    std::string answer;
    auto holder = hold_key("XF86AudioNext", answer);
    ASSERT_EQ(answer, "grabbed");
    const auto started = start_driver();
    EXPECT_NE(started.find("hook=1"), std::string::npos) << started;
    EXPECT_NE(started.find("held=1"), std::string::npos) << started;
    press("XF86AudioNext");
    EXPECT_TRUE(holder->wait_line("pressed", kPatience));
    press("XF86AudioPrev");
    EXPECT_EQ(targets_after(2), kPrev);
}

}  // namespace
}  // namespace dravo::test
