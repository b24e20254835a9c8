#include "track_titles.h"

namespace dravo {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool is_url(const std::string& path) {
    const auto colon = path.find("://");
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = path[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other)) {
            return false;
        }
    }
    return true;
}

std::string file_title(const std::string& path) {
    if (is_url(path)) {
        return path;
    }
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    // A leading dot names a hidden file, not an extension.
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

std::string make_title(const std::string& path, const std::optional<TrackTags>& tags) {
    if (tags) {
        const std::string artist = trimmed(tags->artist);
        const std::string title = trimmed(tags->title);
        if (!title.empty()) {
            return artist.empty() ? title : artist + " - " + title;
        }
    }
    return file_title(path);
}

std::string read_title(const std::string& path) {
    return make_title(path, is_url(path) ? std::nullopt : read_tags(path));
}

}  // namespace dravo
