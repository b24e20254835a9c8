#pragma once
// The main window's small rules that need no toolkit: the volume slider's steps and where the
// window comes up beside the cursor. Pure functions, safe from any thread; nothing fails
// (out-of-range input is clamped as each comment says).
#include <optional>
#include <string>

namespace dravo {

// What the user did to the volume slider, named as on a slider whose top is loudest.
enum class VolumeScroll { line_up, line_down, page_up, page_down, thumb, top, bottom, other };

// The volume to ask for, or nothing (end of scrolling and anything else). position is the
// slider's new position for a thumb movement (0 at the top).
std::optional<int> volume_after_scroll(VolumeScroll scroll, int volume, int position);

struct WindowPlace {
    int x = 0;
    int y = 0;
};

// The window's bottom edge at the cursor, its top never above 0, its right edge never beyond the
// work area's right edge (work_right is the first column past the work area); no left limit.
WindowPlace place_at_cursor(int cursor_x, int cursor_y, int width, int height, int work_right);

}  // namespace dravo
