#include "profile_file.h"

#include <climits>
#include <string_view>

#include "profile_io.h"
#include "text_platform.h"

namespace dravo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// UTF-16 in either byte order (UTF-32 LE starts the same way) and UTF-32 BE.
bool has_wide_mark(std::string_view bytes) {
    using namespace std::string_view_literals;
    return bytes.starts_with("\xFF\xFE"sv) || bytes.starts_with("\xFE\xFF"sv) ||
           bytes.starts_with("\0\0\xFE\xFF"sv);
}

std::string_view trim_blanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line (text up to the first ']'); a line without ']' opens no
// section, as with Windows' profile functions.
std::optional<std::string_view> section_name(std::string_view line) {
    line = trim_blanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const auto close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim_blanks(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> key_value(std::string_view line) {
    const auto trimmed = trim_blanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' ||
        trimmed.front() == '[') {
        return std::nullopt;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return std::nullopt;
    }
    return KeyValue{trim_blanks(trimmed.substr(0, equals)),
                    trim_blanks(trimmed.substr(equals + 1))};
}

std::string without_line_breaks(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c != '\r' && c != '\n') {
            result += c;
        }
    }
    return result;
}

// Names that read back as written: a key line "key=..." must parse to key, a section line
// "[section]" to section.
bool readable_names(std::string_view section, std::string_view key) {
    const std::string line = std::string(key) + "=";
    const auto entry = key_value(line);
    return entry && entry->key == key && section.find(']') == std::string_view::npos &&
           trim_blanks(section) == section;
}

int parse_int(std::string_view text) {
    bool negative = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;  // saturate; keeps INT_MIN reachable
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

}  // namespace

ProfileDocument::ProfileDocument(const std::string& bytes) {
    std::size_t pos = 0;
    if (bytes.starts_with(kUtf8Mark)) {
        mark_ = kUtf8Mark;
        pos = kUtf8Mark.size();
    }
    // A lone CR ends a line too: Windows reads such files (and the CR CR LF that a second CR LF
    // conversion leaves), and a CR kept in a value would spoil a path.
    while (pos < bytes.size()) {
        const auto text_end = bytes.find_first_of("\r\n", pos);
        if (text_end == std::string::npos) {
            lines_.push_back({bytes.substr(pos), ""});
            break;
        }
        const std::size_t end_size = bytes.compare(text_end, 2, "\r\n") == 0 ? 2 : 1;
        lines_.push_back({bytes.substr(pos, text_end - pos), bytes.substr(text_end, end_size)});
        pos = text_end + end_size;
    }
    line_end_ = "\r\n";
    for (const auto& line : lines_) {
        if (!line.end.empty()) {
            line_end_ = line.end;
            break;
        }
    }
}

std::optional<ProfileDocument> ProfileDocument::load(const std::string& file) {
    auto bytes = detail::read_file_bytes(file);
    if (!bytes || has_wide_mark(*bytes)) {
        return std::nullopt;  // 8-bit lines written into a UTF-16 file would spoil it
    }
    return ProfileDocument(*bytes);
}

ProfileDocument::Location ProfileDocument::locate(const std::string& section,
                                                  const std::string& key) const {
    Location location;
    bool in_section = false;
    bool in_first_section = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = section_name(lines_[i].text)) {
            in_section = same_name(*name, section);
            in_first_section = in_section && !location.insert_after;
            if (in_first_section) {
                location.insert_after = i;
            }
            continue;
        }
        const auto entry = key_value(lines_[i].text);
        if (!in_section || !entry) {
            continue;
        }
        if (same_name(entry->key, key)) {
            location.key_line = i;
            return location;
        }
        if (in_first_section) {
            location.insert_after = i;
        }
    }
    return location;
}

std::optional<std::string> ProfileDocument::find_value(const std::string& section,
                                                       const std::string& key) const {
    const auto location = locate(in_file_encoding(section), in_file_encoding(key));
    if (!location.key_line) {
        return std::nullopt;
    }
    return from_file_encoding(key_value(lines_[*location.key_line].text)->value);
}

std::string ProfileDocument::in_file_encoding(const std::string& text) const {
    return mark_.empty() ? text : detail::utf8_from_text(text);
}

std::string ProfileDocument::from_file_encoding(std::string_view text) const {
    return mark_.empty() ? std::string(text) : detail::text_from_utf8(text);
}

std::string ProfileDocument::read_string(const std::string& section, const std::string& key,
                                         const std::string& fallback) const {
    auto value = find_value(section, key);
    if (!value) {
        return fallback;
    }
    if (value->size() > kProfileValueMax) {
        value->resize(detail::char_boundary_before(*value, kProfileValueMax));
    }
    return *value;
}

int ProfileDocument::read_int(const std::string& section, const std::string& key,
                              int fallback) const {
    const auto value = find_value(section, key);
    if (!value || value->empty()) {
        return fallback;
    }
    return parse_int(*value);
}

bool ProfileDocument::write_string(const std::string& section, const std::string& key,
                                   const std::string& value) {
    const auto clean_section = in_file_encoding(without_line_breaks(section));
    const auto clean_key = in_file_encoding(without_line_breaks(key));
    if (!readable_names(clean_section, clean_key)) {
        return false;
    }
    std::string line = clean_key + "=" + in_file_encoding(without_line_breaks(value));
    const auto location = locate(clean_section, clean_key);
    if (location.key_line) {
        lines_[*location.key_line].text = std::move(line);
        return true;
    }
    if (!location.insert_after) {
        append_section(clean_section, std::move(line));
        return true;
    }
    const auto after = *location.insert_after;
    if (lines_[after].end.empty()) {
        lines_[after].end = line_end_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1),
                  Line{std::move(line), line_end_});
    return true;
}

void ProfileDocument::append_section(const std::string& section, std::string key_line) {
    if (!lines_.empty()) {
        if (lines_.back().end.empty()) {
            lines_.back().end = line_end_;
        }
        if (!trim_blanks(lines_.back().text).empty()) {
            lines_.push_back({"", line_end_});
        }
    }
    lines_.push_back({"[" + section + "]", line_end_});
    lines_.push_back({std::move(key_line), line_end_});
}

std::string ProfileDocument::text() const {
    std::string bytes = mark_;
    for (const auto& line : lines_) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

bool ProfileDocument::commit(const std::string& file) const {
    return detail::replace_file(file, text());
}

std::string profile_read_string(const std::string& section, const std::string& key,
                                const std::string& fallback, const std::string& file) {
    const auto document = ProfileDocument::load(file);
    return document ? document->read_string(section, key, fallback) : fallback;
}

int profile_read_int(const std::string& section, const std::string& key, int fallback,
                     const std::string& file) {
    const auto document = ProfileDocument::load(file);
    return document ? document->read_int(section, key, fallback) : fallback;
}

bool profile_write_string(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file) {
    auto document = ProfileDocument::load(file);
    if (!document) {
        return false;
    }
    return document->write_string(section, key, value) && document->commit(file);
}

}  // namespace dravo
