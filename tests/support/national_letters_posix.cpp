#include "national_letters.h"

namespace dravo::test {

const NationalLetters& national_letters() {
    static const NationalLetters letters{"\xC3\x84", "\xC3\xA4", "\xC3\x89", "\xC3\xA9"};
    return letters;
}

}  // namespace dravo::test
