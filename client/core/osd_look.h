#pragma once
// How the on-screen display looks, whatever draws it: a band across the top of the work area,
// green letters with a dark green rim, the text a margin in from the band's top-left corner.
// Constants only; any thread.
#include <cstdint>

namespace dravo {

inline constexpr int kOsdHeight = 80;
inline constexpr int kOsdMargin = 10;    // from the work area's top-left corner to the text
inline constexpr int kOsdFontCell = 36;  // pixels from the top of the tallest letter to the lowest
inline constexpr const char* kOsdFontFace = "Verdana";

struct OsdColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr OsdColour kOsdLetters{0, 255, 0};
inline constexpr OsdColour kOsdRim{0, 63, 0};

}  // namespace dravo
