#pragma once
// Small text helpers shared by the server and the client. Text is a byte string: UTF-8 on Linux,
// the ANSI code page on Windows. None of these keeps state; all are safe from any thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravo {

std::string to_text(std::int32_t value);
std::string to_text(std::uint32_t value);
// Reads an unsigned decimal number after leading white space; stops at the first non-digit.
// No number gives 0; a value past 32 bits wraps (callers read short, non-negative numbers).
std::uint32_t to_number(const std::string& text);
// Lowers A-Z and the three national capitals Å, Ä, Ö (in the platform's encoding: whole UTF-8
// sequences on Linux, single code-page bytes on Windows); nothing else. Keeps the length.
std::string lower_case(const std::string& text);
std::string strip_line_breaks(const std::string& text);
// White space here is exactly blank, tab, LF and CR.
std::string trim_left(const std::string& text);
std::string trim_right(const std::string& text);
std::string trim(const std::string& text);
// The words of text, in order, as views into it: the runs between separators (by default blank,
// tab, CR, LF, VT and FF). Empty or all-separator text has no words.
inline constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
std::vector<std::string_view> split_words(std::string_view text,
                                          std::string_view separators = kWhiteSpace);
// The first max_characters characters of UTF-8 text, never ending inside a multi-byte sequence
// (continuation bytes count with the character before them).
std::string_view utf8_first_characters(std::string_view text, std::size_t max_characters);
// True for characters that count as typed text: ASCII letters and digits, the blank, 32 ASCII
// marks and å ä ö Å Ä Ö ¤ § ½ £ € (a Unicode code point on Linux, a code page byte on Windows).
bool is_text_char(int code);
// All decimal digits of the text as one number: "v1.14" gives 114. No overflow check.
int parse_digits(const std::string& text);
// Appends byte as two lower-case hex digits.
void append_hex(std::string& out, unsigned char byte);
// Percent-encodes the 22 reserved characters with lower-case hex digits; other bytes unchanged.
std::string url_encode(const std::string& text);
// Reverses url_encode: every "%" with two hex digits becomes its byte; a "%" without them, and
// every other byte ("+" too), stays as it is.
std::string url_decode(const std::string& text);
// The filter's lenient rule: "%" and whatever two characters follow become one byte (digits and
// letters count by their place in 0-9a-z, anything else as 0, modulo 256); a "%" with fewer than
// two characters after it stays. "+" stays.
std::string percent_decode_lenient(const std::string& text);

// Between folder names of a path: '/' on Linux, '\\' on Windows.
extern const char kPathSeparator;
// The path with the separator at its end, unless it is empty or ends in one already.
std::string with_trailing_separator(std::string path);
// Decimal text, with a "0" in front of values below 10 (negative values too: -5 gives "0-5").
std::string two_digits(int value);

}  // namespace dravo
