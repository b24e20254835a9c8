#include <gtest/gtest.h>

#include <climits>
#include <string_view>
#include <vector>

#include "text.h"

namespace dravo {
namespace {

TEST(TextNumbers, DecimalTextOfSignedAndUnsigned) {
    EXPECT_EQ(to_text(std::int32_t{0}), "0");
    EXPECT_EQ(to_text(std::int32_t{-5}), "-5");
    EXPECT_EQ(to_text(std::int32_t{INT32_MIN}), "-2147483648");
    EXPECT_EQ(to_text(std::uint32_t{4294967295u}), "4294967295");
}

TEST(TextNumbers, ToNumberReadsLeadingNumberAfterWhiteSpace) {
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

TEST(TextNumbers, ParseDigitsJoinsEveryDigit) {
    EXPECT_EQ(parse_digits("v1.67"), 167);
    EXPECT_EQ(parse_digits("v1.14"), 114);
    EXPECT_EQ(parse_digits("1.2.3"), 123);
    EXPECT_EQ(parse_digits("version"), 0);
    EXPECT_EQ(parse_digits(""), 0);
}

TEST(TextNumbers, TwoDigitsPadsBelowTen) {
    EXPECT_EQ(two_digits(0), "00");
    EXPECT_EQ(two_digits(7), "07");
    EXPECT_EQ(two_digits(10), "10");
    EXPECT_EQ(two_digits(123), "123");
    EXPECT_EQ(two_digits(-5), "0-5");
}

TEST(TextLowerCase, LowersAsciiAndSwedishCapitalsOnly) {
    // ÅÄÖ ABC É -> åäö abc É
    EXPECT_EQ(lower_case("\xC3\x85\xC3\x84\xC3\x96 ABC \xC3\x89"),
              "\xC3\xA5\xC3\xA4\xC3\xB6 abc \xC3\x89");
    EXPECT_EQ(lower_case("Hello World 123 @[`{"), "hello world 123 @[`{");
    EXPECT_EQ(lower_case(""), "");
}

TEST(TextLowerCase, LeavesOtherUtf8LettersIntact) {
    // ł (C5 82), Ŗ (C5 96), Ą (C4 84), Ŕ... must not be mistaken for code-page capitals.
    const std::string other = "\xC5\x82\xC5\x96\xC4\x84\xD6\x90\xC5\xC4\xD6";
    EXPECT_EQ(lower_case(other), other);
    EXPECT_EQ(lower_case("\xC5\x81\xC3\x93"), "\xC5\x81\xC3\x93");  // Ł Ó stay capitals
    // A lone C3 at the end and a capital right after a national letter.
    EXPECT_EQ(lower_case("\xC3\x85Z\xC3"), "\xC3\xA5z\xC3");
}

TEST(TextTrim, WhiteSpaceIsBlankTabCrLf) {
    EXPECT_EQ(trim(" \t\r\n \n"), "");
    EXPECT_EQ(trim("  a b\tc \r\n"), "a b\tc");
    EXPECT_EQ(trim_left(" \ta "), "a ");
    EXPECT_EQ(trim_right(" a \t"), " a");
    EXPECT_EQ(trim("\va\f"), "\va\f");  // not white space here
    EXPECT_EQ(strip_line_breaks("a\r\nb\nc\rd"), "abcd");
}

TEST(TextWords, SplitAtTheSeparatorsOnly) {
    using Words = std::vector<std::string_view>;
    struct Row {
        std::string_view text;
        std::string_view separators;
        Words words;
    };
    for (const auto& row : {Row{"", kWhiteSpace, {}}, Row{" \t\r\n\v\f", kWhiteSpace, {}},
                            Row{"  mp3\togg\r\nwav ", kWhiteSpace, {"mp3", "ogg", "wav"}},
                            Row{"a\vb", kWhiteSpace, {"a", "b"}},
                            Row{"a\vb c", " \t\r\n", {"a\vb", "c"}}, Row{"x", " ", {"x"}}}) {
        EXPECT_EQ(split_words(row.text, row.separators), row.words) << row.text;
    }
}

TEST(TextUtf8, FirstCharactersNeverEndInsideASequence) {
    const std::string mixed =
        "a\xc3\xa5\xe2\x82\xac"
        "b";  // a, å (2 bytes), € (3 bytes), b
    struct Row {
        std::size_t characters;
        std::size_t bytes;
    };
    for (const auto& row : {Row{0, 0}, Row{1, 1}, Row{2, 3}, Row{3, 6}, Row{4, 7}, Row{99, 7}}) {
        EXPECT_EQ(utf8_first_characters(mixed, row.characters), mixed.substr(0, row.bytes))
            << row.characters;
    }
}

TEST(TextChars, TypedTextCharacters) {
    for (int code :
         {'a', 'Z', '5', ' ', '!', '"', '#', '%', '&', '/', '(', ')', '=', '?', '+', '^', '~', '\'',
          '*', '-', '_', '.', ':', ',', ';', '<', '>', '|', '@', '$', '{', '[', ']', '}', '\\'}) {
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

TEST(TextUrl, EncodesTheReservedCharactersOnly) {
    EXPECT_EQ(url_encode("a b+c/d"), "a%20b%2bc%2fd");
    EXPECT_EQ(url_encode("50%"), "50%25");
    EXPECT_EQ(url_encode(""), "");
    EXPECT_EQ(url_encode(" <>#%{}|\\^~[]`;/?:@=&+"),
              "%20%3c%3e%23%25%7b%7d%7c%5c%5e%7e%5b%5d%60%3b%2f%3f%3a%40%3d%26%2b");
    EXPECT_EQ(url_encode("\xC3\xA4-_.!*'()$,\"\t"), "\xC3\xA4-_.!*'()$,\"\t");
}

TEST(TextUrl, DecodingUndoesEncodingAndTheLenientRuleTakesAnyTwoCharacters) {
    struct Case {
        const char* text;
        std::string strict;   // url_decode
        std::string lenient;  // percent_decode_lenient
    };
    const Case cases[] = {
        {"%22a%20b%22", "\"a b\"", "\"a b\""},
        {"a+b", "a+b", "a+b"},
        {"%C3%84%c3%a4", "\xC3\x84\xC3\xA4", "\xC3\x84\xC3\xA4"},
        {"50%", "50%", "50%"},  // a "%" among the last two characters stays
        {"x%4", "x%4", "x%4"},
        {"%%41", "%A", std::string("\x04") + "1"},
        // Letters past f count on (g = 16, z = 35), anything else as 0; the byte wraps.
        {"%g1", "%g1", "\x01"},
        {"%zz", "%zz", std::string(1, static_cast<char>(595 % 256))},
        {"%?A", "%?A", "\x0A"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(url_decode(c.text), c.strict) << c.text;
        EXPECT_EQ(percent_decode_lenient(c.text), c.lenient) << c.text;
    }
    const std::string every_byte = [] {
        std::string bytes;
        for (int b = 1; b < 256; ++b) {
            bytes += static_cast<char>(b);
        }
        return bytes;
    }();
    EXPECT_EQ(url_decode(url_encode(every_byte)), every_byte);
}

TEST(TextPath, TrailingSeparatorIsAddedOnceAndNeverToAnEmptyPath) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(with_trailing_separator("/music"), "/music" + sep);
    EXPECT_EQ(with_trailing_separator("/music" + sep), "/music" + sep);
    EXPECT_EQ(with_trailing_separator(sep), sep);
    EXPECT_EQ(with_trailing_separator(""), "");
}

}  // namespace
}  // namespace dravo
