#include "window_rules.h"

#include <algorithm>

#include "remote_protocol.h"

namespace dravo {
namespace {

constexpr int kLineStep = 10;
constexpr int kPageStep = 20;

}  // namespace

std::optional<int> volume_after_scroll(VolumeScroll scroll, int volume, int position) {
    switch (scroll) {
        case VolumeScroll::line_up:
            return volume + kLineStep;
        case VolumeScroll::line_down:
            return volume - kLineStep;
        case VolumeScroll::page_up:
            return volume + kPageStep;
        case VolumeScroll::page_down:
            return volume - kPageStep;
        case VolumeScroll::thumb:
            return remote::kVolumeMax - position;
        case VolumeScroll::top:
            return remote::kVolumeMax;
        case VolumeScroll::bottom:
            return remote::kVolumeMin;
        case VolumeScroll::other:
            break;
    }
    return std::nullopt;
}

WindowPlace place_at_cursor(int cursor_x, int cursor_y, int width, int height, int work_right) {
    WindowPlace place{cursor_x, std::max(0, cursor_y - height)};
    if (cursor_x + width > work_right) {
        place.x = work_right - width;
    }
    return place;
}

}  // namespace dravo
