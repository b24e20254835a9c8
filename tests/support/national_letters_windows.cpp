#include "national_letters.h"

namespace dravo::test {

const NationalLetters& national_letters() {
    static const NationalLetters letters{"\xC4", "\xE4", "\xC9", "\xE9"};
    return letters;
}

}  // namespace dravo::test
