#include "media_keys.h"

#include "remote_session.h"

namespace dravo {
namespace {

constexpr int kSeekStep = 5;  // handed on; the seek operations ignore it
constexpr int kVolumeStep = 10;
constexpr int kFineVolumeStep = 1;

MediaKeyBinding row(KeyModifiers keys, int command, int action, int parameter = 0) {
    return {keys.shift, keys.ctrl, keys.alt, command, true, action, parameter};
}

}  // namespace

std::vector<MediaKeyBinding> default_media_key_bindings() {
    using namespace key_action;
    const KeyModifiers none;
    const KeyModifiers shift{.shift = true};
    const KeyModifiers ctrl{.ctrl = true};
    const KeyModifiers ctrl_shift{.shift = true, .ctrl = true};
    return {
        row(none, DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kNextTrack),
        row(shift, DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, kSeekForward, kSeekStep),
        row(none, DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK, kPreviousTrack),
        row(shift, DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK, kSeekBack, kSeekStep),
        row(none, DRAVO_APPCOMMAND_MEDIA_PLAY, kStartPlayback),
        row(shift, DRAVO_APPCOMMAND_MEDIA_PLAY, kToggleShuffle),
        row(ctrl, DRAVO_APPCOMMAND_MEDIA_PLAY, kShowAtCursor),
        row(none, DRAVO_APPCOMMAND_MEDIA_PAUSE, kPausePlayback),
        row(none, DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kTogglePlayPause),
        row(shift, DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kToggleShuffle),
        row(ctrl, DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, kShowAtCursor),
        row(none, DRAVO_APPCOMMAND_MEDIA_STOP, kStopPlayback),
        row(none, DRAVO_APPCOMMAND_VOLUME_DOWN, kVolumeDown, kVolumeStep),
        row(shift, DRAVO_APPCOMMAND_VOLUME_DOWN, kVolumeDown, kFineVolumeStep),
        row(none, DRAVO_APPCOMMAND_VOLUME_UP, kVolumeUp, kVolumeStep),
        row(shift, DRAVO_APPCOMMAND_VOLUME_UP, kVolumeUp, kFineVolumeStep),
        row(none, DRAVO_APPCOMMAND_VOLUME_MUTE, kToggleMute),
        row(none, DRAVO_APPCOMMAND_LAUNCH_APP2, kNextTrack),
        row(shift, DRAVO_APPCOMMAND_LAUNCH_APP2, kSeekForward, kSeekStep),
        row(ctrl, DRAVO_APPCOMMAND_LAUNCH_APP2, kPreviousTrack),
        row(ctrl_shift, DRAVO_APPCOMMAND_LAUNCH_APP2, kSeekBack, kSeekStep),
        row(none, DRAVO_APPCOMMAND_LAUNCH_MAIL, kTogglePlayPause),
        row(shift, DRAVO_APPCOMMAND_LAUNCH_MAIL, kToggleShuffle),
        row(ctrl, DRAVO_APPCOMMAND_LAUNCH_MAIL, kShowAtCursor),
        row(ctrl_shift, DRAVO_APPCOMMAND_LAUNCH_MAIL, kStopPlayback),
    };
}

MediaKeyHandler::MediaKeyHandler(RemoteSession& session, std::function<void()> show_at_cursor)
    : bindings_(default_media_key_bindings()) {
    using namespace key_action;
    RemoteSession* s = &session;
    actions_ = {
        {kSeekForward, [s](int) { s->seek_forward(); }},
        {kSeekBack, [s](int) { s->seek_back(); }},
        {kNextTrack, [s](int) { s->next_track(); }},
        {kPreviousTrack, [s](int) { s->previous_track(); }},
        {kToggleShuffle, [s](int) { s->toggle_shuffle(); }},
        {kStartPlayback, [s](int) { s->start_playback(); }},
        {kPausePlayback, [s](int) { s->pause_playback(); }},
        {kTogglePlayPause, [s](int) { s->toggle_play_pause(); }},
        {kStopPlayback, [s](int) { s->stop_playback(); }},
        {kVolumeDown, [s](int step) { s->step_volume(-step); }},
        {kVolumeUp, [s](int step) { s->step_volume(step); }},
        {kToggleMute, [s](int) { s->toggle_mute(); }},
    };
    if (show_at_cursor) {
        actions_[kShowAtCursor] = [show = std::move(show_at_cursor)](int) { show(); };
    }
}

int MediaKeyHandler::handle(std::uint32_t lparam) {
    const auto [command, keys] = media_key_press(lparam);
    for (const auto& binding : bindings_) {
        if (!binding.enabled || binding.command != command || binding.shift != keys.shift ||
            binding.ctrl != keys.ctrl || binding.alt != keys.alt) {
            continue;
        }
        const auto action = actions_.find(binding.action);
        if (action != actions_.end()) {
            action->second(binding.parameter);
            return 1;
        }
    }
    return 0;
}

}  // namespace dravo
