// Status polling: the "/status" answer applied to the local playback state, line by line.
#include "player_commands.h"
#include "playback_state.h"
#include "remote_protocol.h"
#include "remote_view.h"
#include "server_client.h"

namespace dravo {

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
            // the client has no repeat control
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
