#include "player_commands.h"

#include <algorithm>
#include <cstdlib>

#include "client_info.h"
#include "client_settings.h"
#include "playback_state.h"
#include "remote_protocol.h"
#include "remote_view.h"
#include "request_runner.h"
#include "server_client.h"
#include "text.h"

namespace dravo {
namespace {

std::string command(std::string_view path) { return remote::command_text(path); }

}  // namespace

PlayerCommands::PlayerCommands(ClientContext context, const UpdateChecker& checker,
                               std::string update_url)
    : ctx_(context), checker_(checker), update_url_(std::move(update_url)) {}

std::string PlayerCommands::title_or_empty() { return ctx_.server.fetch_title().value_or(""); }

void PlayerCommands::next_track() {
    ctx_.server.send(command(remote::kNext));
    refresh_title();
    ctx_.state.is_paused = false;
}

void PlayerCommands::previous_track() {
    ctx_.server.send(command(remote::kPrevious));
    refresh_title();
    ctx_.state.is_paused = false;
}

void PlayerCommands::seek_forward(int) { seek(command(remote::kFastForward)); }

void PlayerCommands::seek_back(int) { seek(command(remote::kRewind)); }

void PlayerCommands::seek_steps(int steps) {
    const std::string text = command(steps > 0 ? remote::kFastForward : remote::kRewind);
    for (int i = 1; i < std::abs(steps); ++i) {
        ctx_.server.fetch(text);
    }
    if (steps != 0) {
        seek(text);
    }
}

void PlayerCommands::seek_to_ms(int ms) {
    if (ctx_.state.api_server.empty()) {
        return;  // the server has not shown that it offers the API
    }
    ctx_.server.fetch(
        remote::command_text(remote::kApiSeek, remote::kMillisecondsKey, to_text(std::max(ms, 0))));
}

void PlayerCommands::seek(const std::string& text) {
    // A broken answer is used as far as it came; one without the position shows nothing.
    const std::string answer = ctx_.server.fetch(text).body;
    const auto found = answer.find(remote::kNewPosition);
    if (found == std::string::npos) {
        return;
    }
    std::string position = answer.substr(found + remote::kNewPosition.size());
    position = position.substr(0, position.find('\n'));
    const std::string title = title_or_empty();
    ctx_.view.show_osd(title.empty() ? position : position + ", " + title);
}

void PlayerCommands::start_playback() {
    poll_status();
    ctx_.server.send(command(remote::kPlay));
    refresh_title();
    ctx_.state.is_paused = false;
    ctx_.state.is_playing = true;
}

void PlayerCommands::pause_playback() {
    poll_status();
    ctx_.server.send(command(remote::kPause));
    refresh_title();
    ctx_.state.is_paused = true;
}

void PlayerCommands::toggle_play_pause() {
    if (ctx_.state.is_playing && !ctx_.state.is_paused) {
        pause_playback();
    } else {
        start_playback();
    }
}

void PlayerCommands::stop_playback() {
    ctx_.server.send(command(remote::kStop));
    refresh_title();
    ctx_.state.is_paused = true;
    ctx_.state.is_playing = false;
    ctx_.view.show_osd("Stop");
}

void PlayerCommands::show_volume(int v) {
    int& volume = ctx_.state.volume;
    if (v != volume) {
        volume = std::clamp(v, remote::kVolumeMin, remote::kVolumeMax);
        ctx_.view.show_osd(volume == 0 ? std::string("Mute")
                                       : "Volume " + to_text(volume) + "%: " + title_or_empty());
    }
    ctx_.view.set_volume_slider(remote::kVolumeMax - volume);
}

void PlayerCommands::set_volume(int v) {
    show_volume(v);
    ctx_.server.send(
        remote::command_text(remote::kVolume, remote::kVolumeKey, to_text(ctx_.state.volume)));
}

void PlayerCommands::toggle_mute() {
    // The answer is the volume after the switch; a failed request reads as 0.
    const auto answer = ctx_.server.fetch(command(remote::kMute));
    show_volume(remote::status_number(answer.body));
}

void PlayerCommands::toggle_shuffle() {
    ctx_.view.make_shuffle_box_two_state();
    const bool on = ctx_.state.shuffle_on = !ctx_.state.shuffle_on;
    ctx_.view.set_shuffle_box(on ? ShuffleBox::checked : ShuffleBox::unchecked);
    ctx_.server.send(remote::command_text(remote::kPlayMode, remote::kShuffleKey,
                                          on ? remote::kModeOn : remote::kModeOff));
    ctx_.view.show_osd((on ? "Shuffle on: " : "Shuffle off: ") + title_or_empty());
}

void PlayerCommands::set_repeat(bool on) {
    ctx_.state.repeat_on = on;
    ctx_.server.send(remote::command_text(remote::kPlayMode, remote::kRepeatKey,
                                          on ? remote::kModeOn : remote::kModeOff));
}

void PlayerCommands::refresh_title() {
    const auto title = ctx_.server.fetch_title();
    if (!title) {
        return;
    }
    ctx_.view.set_window_text(*title);
    ctx_.view.set_now_playing(*title);
    ctx_.view.set_tray_tip(*title);
    if (*title != ctx_.state.last_title) {
        if (ctx_.settings.osd_on_new_track) {
            ctx_.view.show_osd(*title);
        }
        ctx_.state.last_title = *title;
    }
}

void PlayerCommands::show_about() {
    auto answer = ctx_.server.fetch(command(remote::kVersion));
    std::string text = answer.ok ? answer.body : std::string("dravo_srv: ") + kCannotConnect + "\n";
    text += std::string("\n") + kClientName + " " + kClientVersion + "\n\n" + kAboutLines;
    ctx_.view.show_message(text);
}

bool PlayerCommands::run_update_check(std::string& message) {
    bool started = false;
    const int running = parse_digits(kClientVersion);
    ctx_.server.runner().run(
        [&] { started = checker_.run(kClientName, update_url_, running, "", message); });
    return started;
}

bool PlayerCommands::request_update() {
    const auto answer = ctx_.server.fetch(command(remote::kUpdate));
    std::string text = "dravo_srv: " + answer.body;
    if (!answer.ok) {
        text += kCannotConnect;
    }
    text += "\n\n";
    std::string message;
    const bool started = run_update_check(message);
    text += started ? std::string("dravo: New version downloaded. Press OK to install it.")
                    : "dravo: " + message;
    ctx_.view.show_message(text);
    if (started) {
        ctx_.view.quit();
    }
    return started;
}

bool PlayerCommands::update_at_startup() {
    ctx_.server.fetch(command(remote::kUpdate));
    std::string ignored;
    if (!run_update_check(ignored)) {
        return false;
    }
    ctx_.view.show_osd("New program version downloaded. Starting update program...");
    return true;
}

// Status polling: the "/status" answer applied to the local playback state, line by line.
void PlayerCommands::poll_status() {
    const auto answer = ctx_.server.fetch(remote::command_text(remote::kStatus));
    if (answer.ok) {
        apply_status(answer.body);
    }
}

void PlayerCommands::apply_status(const std::string& answer) {
    PlaybackState& state = ctx_.state;
    // Every line counts in its order: a key sent twice is applied twice.
    for (const auto line : remote::answer_lines(answer)) {
        const auto entry = remote::status_entry(line);
        const std::int32_t value = remote::status_number(entry.value);
        if (entry.key == remote::kPlayingKey) {
            state.is_paused = value == remote::kStatePaused;
            state.is_playing = value > 0;
        } else if (entry.key == remote::kRepeatStatusKey) {
            state.repeat_on = value != 0;
        } else if (entry.key == remote::kShuffleStatusKey) {
            state.shuffle_on = value == 1;
            ctx_.view.set_shuffle_box(state.shuffle_on ? ShuffleBox::checked
                                                       : ShuffleBox::unchecked);
        } else if (entry.key == remote::kVolumeStatusKey) {
            show_volume(value);
        }
    }
}

}  // namespace dravo
