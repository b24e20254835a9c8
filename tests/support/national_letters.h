#pragma once
// Letters outside ASCII in the plug-in's 8-bit text: UTF-8 on POSIX, Windows-1252 on Windows.
#include <string>

namespace dravo::test {

struct NationalLetters {
    std::string upper_a_diaeresis;  // Ä
    std::string lower_a_diaeresis;  // ä
    std::string upper_e_acute;      // É
    std::string lower_e_acute;      // é
};

const NationalLetters& national_letters();

}  // namespace dravo::test
