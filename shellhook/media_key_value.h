#pragma once
// The media-key message value (layout in dravo_shellhook.h) packed and read in one place: the
// key grabber packs what it caught, the client's key handler reads it, tests pack presses.
// Pure functions, any thread; nothing fails (bits beyond the command's 12 are dropped).
#include <cstdint>

#include "dravo_shellhook.h"

namespace dravo {

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct MediaKeyPress {
    int command = 0;  // application-command number (DRAVO_APPCOMMAND_*)
    KeyModifiers modifiers;
};

// The message value for command pressed with modifiers, as the shell hook delivers it.
inline std::uint32_t media_key_lparam(int command, KeyModifiers modifiers = {}) {
    std::uint32_t lparam = (static_cast<std::uint32_t>(command) & DRAVO_APPCOMMAND_MASK)
                           << DRAVO_APPCOMMAND_SHIFT;
    lparam |= modifiers.shift ? DRAVO_MK_SHIFT : 0;
    lparam |= modifiers.ctrl ? DRAVO_MK_CONTROL : 0;
    lparam |= modifiers.alt ? DRAVO_MK_ALT : 0;
    return lparam;
}

inline MediaKeyPress media_key_press(std::uint32_t lparam) {
    return {static_cast<int>((lparam >> DRAVO_APPCOMMAND_SHIFT) & DRAVO_APPCOMMAND_MASK),
            {.shift = (lparam & DRAVO_MK_SHIFT) != 0,
             .ctrl = (lparam & DRAVO_MK_CONTROL) != 0,
             .alt = (lparam & DRAVO_MK_ALT) != 0}};
}

}  // namespace dravo
