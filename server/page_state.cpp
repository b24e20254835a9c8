#include "page_state.h"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "command_table.h"
#include "page_text.h"
#include "remote_protocol.h"
#include "player_control.h"

namespace dravo {
namespace {

const char* state_name(int play_state) {
    return play_state == 1 ? "playing" : play_state == 3 ? "paused" : "stopped";
}

std::string list_mark(PlayerControl& player, int count) {
    if (count <= 0) {
        return {};
    }
    std::string mark;
    for (int index : {0, count / 2, count - 1}) {
        mark += player.file_name(index).value_or("") + '\n';
    }
    return mark;
}

bool position_jumped(const PageState& before, const PageState& after, int elapsed_ms) {
    if (before.position_ms < 0 || after.position_ms < 0) {
        return before.position_ms != after.position_ms;
    }
    const int expected = before.position_ms + (before.play_state == 1 ? elapsed_ms : 0);
    return std::abs(after.position_ms - expected) > remote::kPositionJumpMs;
}

}  // namespace

PageState read_page_state(PlayerControl& player, std::string filter, const MuteMemory& mute) {
    PageState state;
    state.play_state = player.play_state();
    state.count = player.list_length();
    state.index = player.list_pos();
    const int volume = player.volume();
    state.volume = to_percent(volume);
    state.muted = mute.muted && volume == 0;
    state.shuffle = player.shuffle() != 0;
    state.repeat = player.repeat() != 0;
    state.position_ms = player.position_ms();
    state.length_s = player.length_s();
    if (state.count > 0) {
        state.title = player.title(state.index).value_or("");
    }
    state.filter = std::move(filter);
    state.list_mark = list_mark(player, state.count);
    return state;
}

bool page_state_changed(const PageState& before, const PageState& after, int elapsed_ms) {
    return before.play_state != after.play_state || before.index != after.index ||
           before.count != after.count || before.volume != after.volume ||
           before.muted != after.muted || before.shuffle != after.shuffle ||
           before.repeat != after.repeat || before.length_s != after.length_s ||
           before.title != after.title || before.filter != after.filter ||
           before.list_mark != after.list_mark || position_jumped(before, after, elapsed_ms);
}

std::string page_state_json(const PageState& state, std::uint64_t revision,
                            std::uint64_t list_revision) {
    nlohmann::json json = {
        {"rev", revision},
        {"list_rev", list_revision},
        {"state", state_name(state.play_state)},
        {"title", page_text_to_utf8(state.title)},
        {"index", state.index},
        {"count", state.count},
        {"position_ms", state.position_ms},
        {"length_s", state.length_s},
        {"volume", state.volume},
        {"muted", state.muted},
        {"shuffle", state.shuffle},
        {"repeat", state.repeat},
        {"filter", page_text_to_utf8(state.filter)},
    };
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace dravo
