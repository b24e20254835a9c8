// Text is UTF-8 and typed characters arrive as Unicode code points.
#include "text.h"
#include "text_platform.h"

#include <array>

namespace dravo {

const char kPathSeparator = '/';

}  // namespace dravo

namespace dravo::detail {

std::span<const CasePair> national_case_pairs() {
    // Whole two-byte sequences: lowering single bytes would corrupt other letters (C5 82 is ł).
    static constexpr std::array<CasePair, 3> pairs{{
        {"\xC3\x85", "\xC3\xA5"},  // Å å
        {"\xC3\x84", "\xC3\xA4"},  // Ä ä
        {"\xC3\x96", "\xC3\xB6"},  // Ö ö
    }};
    return pairs;
}

std::span<const int> national_text_codes() {
    // å ä ö Å Ä Ö ¤ § ½ £ share their Latin-1 code points; € is U+20AC.
    static constexpr std::array<int, 11> codes{0xE5, 0xE4, 0xF6, 0xC5, 0xC4,  0xD6,
                                               0xA4, 0xA7, 0xBD, 0xA3, 0x20AC};
    return codes;
}

}  // namespace dravo::detail

namespace dravo::detail {

std::size_t char_boundary_before(std::string_view text, std::size_t index) {
    if (index >= text.size()) {
        return text.size();
    }
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // Step back over at most three continuation bytes to the lead byte of their sequence; text
    // that is not valid UTF-8 there is cut at index as it stands.
    std::size_t start = index;
    while (start > 0 && index - start < 3 && (byte(start) & 0xC0) == 0x80) {
        --start;
    }
    if (start != index && byte(start) >= 0xC0) {
        return start;
    }
    return index;
}

}  // namespace dravo::detail
