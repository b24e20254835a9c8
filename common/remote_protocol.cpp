#include "remote_protocol.h"

#include "text.h"

namespace dravo::remote {
namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The next word at or after pos; pos moves past it.
std::string_view next_word(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && is_space(line[pos])) {
        ++pos;
    }
    const std::size_t start = pos;
    while (pos < line.size() && !is_space(line[pos])) {
        ++pos;
    }
    return line.substr(start, pos - start);
}

}  // namespace

std::string command_text(std::string_view path, std::string_view key, std::string_view value) {
    std::string text(path.starts_with('/') ? path.substr(1) : path);
    if (!key.empty()) {
        text.append("?").append(key).append("=").append(value);
    }
    return text;
}

std::string status_line(std::string_view key, std::string_view value) {
    std::string line(key);
    return line.append(" ").append(value).append("\n");
}

std::vector<std::string_view> answer_lines(std::string_view answer) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = answer.find('\n'); end != std::string_view::npos;
         start = end + 1, end = answer.find('\n', start)) {
        lines.push_back(answer.substr(start, end - start));
    }
    if (start < answer.size()) {
        lines.push_back(answer.substr(start));
    }
    return lines;
}

StatusEntry status_entry(std::string_view line) {
    std::size_t pos = 0;
    StatusEntry entry;
    entry.key = next_word(line, pos);
    entry.value = next_word(line, pos);
    return entry;
}

std::int32_t status_number(std::string_view value) {
    return static_cast<std::int32_t>(to_number(std::string(value)));
}

}  // namespace dravo::remote
