#include "remote_protocol.h"

#include "text.h"

namespace dravo::remote {

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
    const auto words = split_words(line);
    StatusEntry entry;
    if (!words.empty()) {
        entry.key = words[0];
    }
    if (words.size() > 1) {
        entry.value = words[1];
    }
    return entry;
}

std::int32_t status_number(std::string_view value) {
    return static_cast<std::int32_t>(to_number(std::string(value)));
}

}  // namespace dravo::remote
