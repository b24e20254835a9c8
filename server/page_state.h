#pragma once
// What the browser page shows of the player, read from the host in one go, and the rule that
// says when it changed. The running position alone is no change (the page moves its bar
// itself), but a jump of the position is. Plain values; reading runs on the listener thread.
#include <cstdint>
#include <string>

namespace dravo {

class PlayerControl;
struct MuteMemory;

struct PageState {
    int play_state = 0;  // 0 stopped, 1 playing, 3 paused
    int index = 0;       // current entry, from 0
    int count = 0;       // playlist entries
    int volume = 0;      // percent
    bool muted = false;
    bool shuffle = false;
    bool repeat = false;
    int position_ms = -1;
    int length_s = -1;
    std::string title;   // native bytes
    std::string filter;  // native bytes
    // First, middle and last file name: a new playlist of the same length changes it.
    std::string list_mark;
};

PageState read_page_state(PlayerControl& player, std::string filter, const MuteMemory& mute);

// True when after (read elapsed_ms after before) shows something else than before.
bool page_state_changed(const PageState& before, const PageState& after, int elapsed_ms);

// The state as the page's JSON (UTF-8), with the change counters.
std::string page_state_json(const PageState& state, std::uint64_t revision,
                            std::uint64_t list_revision);

}  // namespace dravo
