#include "text.h"

#include <algorithm>
#include <string_view>

#include "text_platform.h"

namespace dravo {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string to_text(std::int32_t value) { return std::to_string(value); }

std::string to_text(std::uint32_t value) { return std::to_string(value); }

std::uint32_t to_number(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (is_blank(text[i]) || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return value;
}

std::string lower_case(const std::string& text) {
    std::string result = text;
    const auto pairs = detail::national_case_pairs();
    for (std::size_t i = 0; i < result.size();) {
        const char c = result[i];
        if (c >= 'A' && c <= 'Z') {
            result[i] = static_cast<char>(c - 'A' + 'a');
            ++i;
            continue;
        }
        std::size_t step = 1;
        const std::string_view rest(result.data() + i, result.size() - i);
        for (const auto& pair : pairs) {
            if (rest.starts_with(pair.upper)) {
                result.replace(i, pair.upper.size(), pair.lower);
                step = pair.lower.size();
                break;
            }
        }
        i += step;
    }
    return result;
}

std::string strip_line_breaks(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n') {
            result += c;
        }
    }
    return result;
}

std::string trim_left(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && is_blank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

std::string trim_right(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && is_blank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

std::string trim(const std::string& text) { return trim_right(trim_left(text)); }

bool is_text_char(int code) {
    if ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
        (code >= '0' && code <= '9')) {
        return true;
    }
    static constexpr std::string_view ascii_marks = " !\"#%&/()=?+^~'*-_.:,;<>|@${[]}\\";
    if (code > 0 && code < 0x80) {
        return ascii_marks.find(static_cast<char>(code)) != std::string_view::npos;
    }
    for (int national : detail::national_text_codes()) {
        if (code == national) {
            return true;
        }
    }
    return false;
}

int parse_digits(const std::string& text) {
    // Unsigned arithmetic so that an over-long digit run wraps instead of being undefined.
    unsigned value = 0;
    for (char c : text) {
        if (is_digit(c)) {
            value = value * 10u + static_cast<unsigned>(c - '0');
        }
    }
    return static_cast<int>(value);
}

void append_hex(std::string& out, unsigned char byte) {
    static constexpr std::string_view hex = "0123456789abcdef";
    out += hex[byte >> 4];
    out += hex[byte & 0x0F];
}

std::string url_encode(const std::string& text) {
    static constexpr std::string_view reserved = " <>#%{}|\\^~[]`;/?:@=&+";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (reserved.find(c) == std::string_view::npos) {
            result += c;
            continue;
        }
        result += '%';
        append_hex(result, static_cast<unsigned char>(c));
    }
    return result;
}

namespace {

int lenient_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 0;
}

int hex_digit(char c) {
    const int value = lenient_digit(c);
    return (value > 0 && value < 16) || c == '0' ? value : -1;
}

}  // namespace

std::string url_decode(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
            hex_digit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(16 * hex_digit(text[i + 1]) + hex_digit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::string percent_decode_lenient(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int byte = (16 * lenient_digit(text[i + 1]) + lenient_digit(text[i + 2])) % 256;
            decoded += static_cast<char>(byte);
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::string with_trailing_separator(std::string path) {
    if (!path.empty() && path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    return path;
}

std::string two_digits(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

std::vector<std::string_view> split_words(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(separators, pos);
        if (start == std::string_view::npos) {
            break;
        }
        pos = std::min(text.find_first_of(separators, start), text.size());
        words.push_back(text.substr(start, pos - start));
    }
    return words;
}

std::string_view utf8_first_characters(std::string_view text, std::size_t max_characters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == max_characters) {
            return text.substr(0, i);
        }
    }
    return text;
}

}  // namespace dravo
