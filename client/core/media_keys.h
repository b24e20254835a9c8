#pragma once
// The media keys: the binding table (key command and Shift/Ctrl/Alt state to action), the action
// map (action to session operation) and the handler of the media-key message that the shell hook
// delivers. Both tables are filled once, when the handler is made, and never change.
// User-interface thread only (the operations go through the session's queue). Nothing fails: a
// key that no enabled row names answers 0 and does nothing.
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "dravo_shellhook.h"
#include "media_key_value.h"

namespace dravo {

class RemoteSession;

// Action identifiers of the binding table.
namespace key_action {
inline constexpr int kSeekForward = 1;
inline constexpr int kSeekBack = 2;
inline constexpr int kNextTrack = 3;
inline constexpr int kPreviousTrack = 4;
inline constexpr int kToggleShuffle = 5;
inline constexpr int kShowAtCursor = 6;
inline constexpr int kStartPlayback = 7;
inline constexpr int kPausePlayback = 8;
inline constexpr int kTogglePlayPause = 9;
inline constexpr int kStopPlayback = 10;
inline constexpr int kVolumeDown = 11;  // current volume minus the parameter
inline constexpr int kVolumeUp = 12;    // current volume plus the parameter
inline constexpr int kToggleMute = 13;
}  // namespace key_action

struct MediaKeyBinding {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    int command = 0;  // application-command number (DRAVO_APPCOMMAND_*)
    bool enabled = true;
    int action = 0;
    int parameter = 0;
};

// The 25 rows, in matching order.
std::vector<MediaKeyBinding> default_media_key_bindings();

class MediaKeyHandler {
public:
    using Action = std::function<void(int parameter)>;

    // show_at_cursor brings the main window up beside the mouse (action 6); it may be empty.
    MediaKeyHandler(RemoteSession& session, std::function<void()> show_at_cursor);

    // The media-key message: runs the first enabled row whose command and exact Shift, Ctrl and
    // Alt state (carried in the value's low word) match and whose action exists. 1 when a row
    // acted, 0 otherwise.
    int handle(std::uint32_t lparam);

private:
    std::vector<MediaKeyBinding> bindings_;
    std::map<int, Action> actions_;
};

}  // namespace dravo
