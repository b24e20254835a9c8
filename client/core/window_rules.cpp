#include "window_rules.h"

#include <algorithm>
#include <limits>

namespace dravo {
namespace {

constexpr int kVolumeMax = 100;
constexpr int kLineStep = 10;
constexpr int kPageStep = 20;
constexpr std::int64_t kShortestPeriodMs = 10;

bool continues_sequence(unsigned char byte) { return (byte & 0xC0) == 0x80; }

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
            return kVolumeMax - position;
        case VolumeScroll::top:
            return kVolumeMax;
        case VolumeScroll::bottom:
            return 0;
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

std::string tray_tip_text(const std::string& text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (continues_sequence(static_cast<unsigned char>(text[i]))) {
            continue;
        }
        if (characters == kTrayTipMax) {
            return text.substr(0, i);
        }
        ++characters;
    }
    return text;
}

int timer_period_ms(std::int64_t seconds) {
    constexpr std::int64_t longest = std::numeric_limits<int>::max();
    const std::int64_t capped = std::clamp<std::int64_t>(seconds, 0, longest / 1000 + 1);
    return static_cast<int>(std::clamp(capped * 1000, kShortestPeriodMs, longest));
}

}  // namespace dravo
