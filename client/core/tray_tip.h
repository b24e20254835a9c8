#pragma once
// The tray icon's tip as the notification area takes it: at most kTrayTipMax characters. A pure
// function, safe from any thread; nothing fails.
#include <cstddef>
#include <string>

#include "text.h"

namespace dravo {

inline constexpr std::size_t kTrayTipMax = 127;  // characters

// The first kTrayTipMax characters of a UTF-8 text (never a cut sequence).
inline std::string tray_tip_text(const std::string& text) {
    return std::string(utf8_first_characters(text, kTrayTipMax));
}

}  // namespace dravo
