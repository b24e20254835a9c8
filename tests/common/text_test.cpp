#include <gtest/gtest.h>

#include <climits>

#include "text.h"

namespace dravo {
namespace {

TEST(TextNumbers, DecimalTextOfSignedAndUnsigned)
{
    EXPECT_EQ(to_text(std::int32_t{0}), "0");
    EXPECT_EQ(to_text(std::int32_t{-5}), "-5");
    EXPECT_EQ(to_text(std::int32_t{INT32_MIN}), "-2147483648");
    EXPECT_EQ(to_text(std::uint32_t{4294967295u}), "4294967295");
}

TEST(TextNumbers, ToNumberReadsLeadingNumberAfterWhiteSpace)
{
    EXPECT_EQ(to_number("42"), 42u);
    EXPECT_EQ(to_number(" \t42  "), 42u);
    EXPECT_EQ(to_number("\r\n42"), 42u);
    EXPECT_EQ(to_number("42abc"), 42u);
    EXPECT_EQ(to_number("007"), 7u);
    EXPECT_EQ(to_number(""), 0u);
    EXPECT_EQ(to_number("abc"), 0u);
    EXPECT_EQ(to_number("x42"), 0u);
    EXPECT_EQ(to_number("-3"), 0u);
    EXPECT_EQ(to_number("4294967295"), 4294967295u);
    EXPECT_EQ(to_number("4294967296"), 0u);  // wraps
}

TEST(TextNumbers, ParseDigitsJoinsEveryDigit)
{
    EXPECT_EQ(parse_digits("v1.67"), 167);
    EXPECT_EQ(parse_digits("v1.14"), 114);
    EXPECT_EQ(parse_digits("1.2.3"), 123);
    EXPECT_EQ(parse_digits("version"), 0);
    EXPECT_EQ(parse_digits(""), 0);
}

TEST(TextNumbers, TwoDigitsPadsBelowTen)
{
    EXPECT_EQ(two_digits(0), "00");
    EXPECT_EQ(two_digits(7), "07");
    EXPECT_EQ(two_digits(10), "10");
    EXPECT_EQ(two_digits(123), "123");
    EXPECT_EQ(two_digits(-5), "0-5");
}

TEST(TextLowerCase, LowersAsciiAndSwedishCapitalsOnly)
{
    // ÅÄÖ ABC É -> åäö abc É
    EXPECT_EQ(lower_case("\xC3\x85\xC3\x84\xC3\x96 ABC \xC3\x89"), "\xC3\xA5\xC3\xA4\xC3\xB6 abc \xC3\x89");
    EXPECT_EQ(lower_case("Hello World 123 @[`{"), "hello world 123 @[`{");
    EXPECT_EQ(lower_case(""), "");
}

TEST(TextLowerCase, LeavesOtherUtf8LettersIntact)
{
    // ł (C5 82), Ŗ (C5 96), Ą (C4 84), Ŕ... must not be mistaken for code-page capitals.
    const std::string other = "\xC5\x82\xC5\x96\xC4\x84\xD6\x90\xC5\xC4\xD6";
    EXPECT_EQ(lower_case(other), other);
    EXPECT_EQ(lower_case("\xC5\x81\xC3\x93"), "\xC5\x81\xC3\x93");  // Ł Ó stay capitals
    // A lone C3 at the end and a capital right after a national letter.
    EXPECT_EQ(lower_case("\xC3\x85Z\xC3"), "\xC3\xA5z\xC3");
}

TEST(TextTrim, WhiteSpaceIsBlankTabCrLf)
{
    EXPECT_EQ(trim(" \t\r\n \n"), "");
    EXPECT_EQ(trim("  a b\tc \r\n"), "a b\tc");
    EXPECT_EQ(trim_left(" \ta "), "a ");
    EXPECT_EQ(trim_right(" a \t"), " a");
    EXPECT_EQ(trim("\va\f"), "\va\f");  // not white space here
    EXPECT_EQ(strip_line_breaks("a\r\nb\nc\rd"), "abcd");
}

TEST(TextChars, TypedTextCharacters)
{
    for (int code : {'a', 'Z', '5', ' ', '!', '"', '#', '%', '&', '/', '(', ')', '=', '?', '+', '^',
                     '~', '\'', '*', '-', '_', '.', ':', ',', ';', '<', '>', '|', '@', '$', '{',
                     '[', ']', '}', '\\'}) {
        EXPECT_TRUE(is_text_char(code)) << code;
    }
    for (int code : {0xE5, 0xE4, 0xF6, 0xC5, 0xC4, 0xD6, 0xA4, 0xA7, 0xBD, 0xA3, 0x20AC}) {
        EXPECT_TRUE(is_text_char(code)) << code;
    }
    int count = 0;
    for (int code = 0; code < 0x10000; ++code) {
        count += is_text_char(code) ? 1 : 0;
    }
    EXPECT_EQ(count, 26 + 26 + 10 + 43);
    for (int code : {int{'\t'}, int{'\n'}, 0, 0x7F, 0x80, 0xE9, 0xC9, int{'`'}, 0xB0, -1, 0x1E5}) {
        EXPECT_FALSE(is_text_char(code)) << code;
    }
}

TEST(TextUrl, EncodesTheReservedCharactersOnly)
{
    EXPECT_EQ(url_encode("a b+c/d"), "a%20b%2bc%2fd");
    EXPECT_EQ(url_encode("50%"), "50%25");
    EXPECT_EQ(url_encode(""), "");
    EXPECT_EQ(url_encode(" <>#%{}|\\^~[]`;/?:@=&+"),
              "%20%3c%3e%23%25%7b%7d%7c%5c%5e%7e%5b%5d%60%3b%2f%3f%3a%40%3d%26%2b");
    EXPECT_EQ(url_encode("\xC3\xA4-_.!*'()$,\"\t"), "\xC3\xA4-_.!*'()$,\"\t");
}

}  // namespace
}  // namespace dravo
