#pragma once
// Internal to the text helpers: the pieces that depend on the platform's text encoding.
// text_posix.cpp gives the UTF-8 / Unicode forms; a Windows file gives the code-page forms.
#include <cstddef>
#include <span>
#include <string_view>

namespace dravo::detail {

// One national capital and its small letter, encoded as the platform encodes text. Both forms
// have the same length, so lowering never changes a text's length.
struct CasePair {
    std::string_view upper;
    std::string_view lower;
};

// Å Ä Ö and their small letters.
std::span<const CasePair> national_case_pairs();
// The character codes beyond ASCII that count as typed text: å ä ö Å Ä Ö ¤ § ½ £ €.
std::span<const int> national_text_codes();

}  // namespace dravo::detail

namespace dravo::detail {

// The largest character boundary of text at or before index (index <= text.size()), so that a
// cut there never splits a multi-byte character.
std::size_t char_boundary_before(std::string_view text, std::size_t index);

}  // namespace dravo::detail
