// Text is 8-bit in the ANSI code page (Windows-1252 for the national letters) and typed
// characters arrive as its bytes.
#include <array>

#include "text.h"
#include "text_platform.h"

namespace dravo {

const char kPathSeparator = '\\';

}  // namespace dravo

namespace dravo::detail {

std::span<const CasePair> national_case_pairs() {
    static constexpr std::array<CasePair, 3> pairs{{
        {"\xC5", "\xE5"},  // Å å
        {"\xC4", "\xE4"},  // Ä ä
        {"\xD6", "\xF6"},  // Ö ö
    }};
    return pairs;
}

std::span<const int> national_text_codes() {
    // å ä ö Å Ä Ö ¤ § ½ £ as in Latin-1; € is 0x80 in Windows-1252.
    static constexpr std::array<int, 11> codes{0xE5, 0xE4, 0xF6, 0xC5, 0xC4, 0xD6,
                                               0xA4, 0xA7, 0xBD, 0xA3, 0x80};
    return codes;
}

// Every byte is a whole character.
std::size_t char_boundary_before(std::string_view text, std::size_t index) {
    return index < text.size() ? index : text.size();
}

}  // namespace dravo::detail
