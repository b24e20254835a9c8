// The media keys against a recording server: the requests each key (every binding and
// combinations no binding names) sends.
#include "client_fixture.h"
#include "media_keys.h"

namespace dravo::test {
namespace {

class MediaKeyFixture : public ClientFixture {
protected:
    MediaKeyFixture() {
        serve_player();
        for (int volume : {40, 49, 51, 60, 70, 75, 100}) {
            server.set_reply("/volume?volume=" + std::to_string(volume), {200, ""});
        }
    }
    MediaKeyHandler& keys() {
        if (!keys_) {
            keys_ = std::make_unique<MediaKeyHandler>(session(), [this] { ++shown; });
        }
        return *keys_;
    }

    int shown = 0;  // show_at_cursor calls

private:
    std::unique_ptr<MediaKeyHandler> keys_;
};

struct KeyCase {
    const char* name;
    int command;
    KeyModifiers modifiers;
    int answer;
    Targets targets;
    bool shows_window = false;
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

constexpr KeyModifiers kPlain{};
constexpr KeyModifiers kShift{.shift = true};
constexpr KeyModifiers kCtrl{.ctrl = true};
constexpr KeyModifiers kCtrlShift{.shift = true, .ctrl = true};
constexpr KeyModifiers kAlt{.alt = true};

const KeyCase kKeyCases[] = {
    {"next", DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kPlain, 1, kNext},
    {"shift_next_seeks_forward", DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kShift, 1, kForward},
    {"previous", DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK, kPlain, 1, kPrev},
    {"shift_previous_seeks_back", DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK, kShift, 1, kBack},
    {"play", DRAVO_APPCOMMAND_MEDIA_PLAY, kPlain, 1, kPlay},
    {"shift_play_shuffles", DRAVO_APPCOMMAND_MEDIA_PLAY, kShift, 1, kShuffle},
    {"ctrl_play_shows_window", DRAVO_APPCOMMAND_MEDIA_PLAY, kCtrl, 1, kNone, true},
    {"pause", DRAVO_APPCOMMAND_MEDIA_PAUSE, kPlain, 1, kPause},
    {"play_pause_when_stopped_plays", DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kPlain, 1, kPlay},
    {"shift_play_pause_shuffles", DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kShift, 1, kShuffle},
    {"ctrl_play_pause_shows_window", DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kCtrl, 1, kNone, true},
    {"stop", DRAVO_APPCOMMAND_MEDIA_STOP, kPlain, 1, kStop},
    {"volume_down_10", DRAVO_APPCOMMAND_VOLUME_DOWN, kPlain, 1, volume_to(40)},
    {"shift_volume_down_1", DRAVO_APPCOMMAND_VOLUME_DOWN, kShift, 1, volume_to(49)},
    {"volume_up_10", DRAVO_APPCOMMAND_VOLUME_UP, kPlain, 1, volume_to(60)},
    {"shift_volume_up_1", DRAVO_APPCOMMAND_VOLUME_UP, kShift, 1, volume_to(51)},
    {"mute", DRAVO_APPCOMMAND_VOLUME_MUTE, kPlain, 1, {"/mute", "/title"}},
    {"app2_next", DRAVO_APPCOMMAND_LAUNCH_APP2, kPlain, 1, kNext},
    {"shift_app2_seeks_forward", DRAVO_APPCOMMAND_LAUNCH_APP2, kShift, 1, kForward},
    {"ctrl_app2_previous", DRAVO_APPCOMMAND_LAUNCH_APP2, kCtrl, 1, kPrev},
    {"ctrl_shift_app2_seeks_back", DRAVO_APPCOMMAND_LAUNCH_APP2, kCtrlShift, 1, kBack},
    {"mail_play_pause", DRAVO_APPCOMMAND_LAUNCH_MAIL, kPlain, 1, kPlay},
    {"shift_mail_shuffles", DRAVO_APPCOMMAND_LAUNCH_MAIL, kShift, 1, kShuffle},
    {"ctrl_mail_shows_window", DRAVO_APPCOMMAND_LAUNCH_MAIL, kCtrl, 1, kNone, true},
    {"ctrl_shift_mail_stops", DRAVO_APPCOMMAND_LAUNCH_MAIL, kCtrlShift, 1, kStop},
    // Combinations no row names do nothing.
    {"alt_next", DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kAlt, 0, kNone},
    {"alt_shift_next", DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, {.shift = true, .alt = true}, 0, kNone},
    {"alt_volume_up", DRAVO_APPCOMMAND_VOLUME_UP, kAlt, 0, kNone},
    {"alt_ctrl_mail", DRAVO_APPCOMMAND_LAUNCH_MAIL, {.ctrl = true, .alt = true}, 0, kNone},
    {"ctrl_next", DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kCtrl, 0, kNone},
    {"ctrl_shift_play", DRAVO_APPCOMMAND_MEDIA_PLAY, kCtrlShift, 0, kNone},
    {"ctrl_shift_play_pause", DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kCtrlShift, 0, kNone},
    {"ctrl_volume_up", DRAVO_APPCOMMAND_VOLUME_UP, kCtrl, 0, kNone},
    {"shift_pause", DRAVO_APPCOMMAND_MEDIA_PAUSE, kShift, 0, kNone},
    {"shift_stop", DRAVO_APPCOMMAND_MEDIA_STOP, kShift, 0, kNone},
    {"unknown_command", 99, kPlain, 0, kNone},
};

class MediaKeyTest : public MediaKeyFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MediaKeyTest, SendsTheRequestsOfItsBinding) {
    const auto& c = GetParam();
    EXPECT_EQ(keys().handle(media_key_lparam(c.command, c.modifiers)), c.answer);
    EXPECT_EQ(server.targets(), c.targets);
    EXPECT_EQ(shown, c.shows_window ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Bindings, MediaKeyTest, ::testing::ValuesIn(kKeyCases), CaseName());

TEST_F(MediaKeyFixture, ModifierBitsOfTheHookAreRead) {
    // Device bits above the command are not part of it.
    EXPECT_EQ(
        keys().handle((DRAVO_APPCOMMAND_MEDIA_NEXTTRACK << 16) | 0x10000000u | DRAVO_MK_SHIFT), 1);
    EXPECT_EQ(server.targets(), kForward);
}

// A key pressed while a request is in flight runs afterwards, from the volume as it is then.
class KeyDuringRequest final : public RequestRunner {
public:
    void run(const std::function<void()>& work) override {
        work();
        if (auto press = std::exchange(during, nullptr)) {
            press();
        }
    }
    std::function<void()> during;
};

using MediaKeyQueue = MediaKeyFixture;

TEST_F(MediaKeyQueue, VolumeStepsPressedDuringARequestAddUp) {
    KeyDuringRequest key_runner;
    requests = &key_runner;
    const auto up = media_key_lparam(DRAVO_APPCOMMAND_VOLUME_UP);
    key_runner.during = [&] {
        keys().handle(up);
        keys().handle(up);
    };
    keys().handle(media_key_lparam(DRAVO_APPCOMMAND_MEDIA_NEXTTRACK));
    EXPECT_EQ(server.targets(), (Targets{"/next", "/title", "/title", "/volume?volume=60", "/title",
                                         "/volume?volume=70"}));
}

}  // namespace
}  // namespace dravo::test
