// The code-page forms of the text helpers: single Windows-1252 bytes, backslash paths.
#include <gtest/gtest.h>

#include "text.h"

namespace dravo {
namespace {

TEST(TextWindows, LowerCaseMapsTheThreeNationalBytesOnly) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : {Case{"\xC5\xC4\xD6 ABC \xC9", "\xE5\xE4\xF6 abc \xC9"},  // ÅÄÖ ABC É
                          Case{"V\xC4RLD", "v\xE4rld"},                            // VÄRLD
                          Case{"\xE5\xE4\xF6", "\xE5\xE4\xF6"},                    // åäö stay
                          Case{"\xC3\x85", "\xC3\x85"}}) {  // Ã… : no UTF-8 pairs here
        EXPECT_EQ(lower_case(c.in), c.out) << c.in;
    }
}

TEST(TextWindows, TypedTextIsJudgedByCodePageByte) {
    for (int code :
         {0xE5, 0xE4, 0xF6, 0xC5, 0xC4, 0xD6, 0xA4, 0xA7, 0xBD, 0xA3, 0x80, int{'a'}, int{' '}}) {
        EXPECT_TRUE(is_text_char(code)) << code;
    }
    for (int code : {0xE9, 0xC9, 0x20AC, int{'\t'}, 0x81}) {
        EXPECT_FALSE(is_text_char(code)) << code;
    }
}

TEST(TextWindows, PathsEndInABackslash) {
    EXPECT_EQ(with_trailing_separator("c:\\mp3"), "c:\\mp3\\");
    EXPECT_EQ(with_trailing_separator("c:\\mp3\\"), "c:\\mp3\\");
    EXPECT_EQ(with_trailing_separator(""), "");
}

}  // namespace
}  // namespace dravo
