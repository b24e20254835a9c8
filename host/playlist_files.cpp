#include "playlist_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <utility>

#include "track_titles.h"

namespace dravo {

namespace {

enum class Kind { plain, m3u, pls, url };

std::string lower_ascii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

Kind kind_of(const std::string& path) {
    // Only the end of the name matters, and only that is lower-cased.
    const std::string tail = lower_ascii(path.substr(path.size() > 5 ? path.size() - 5 : 0));
    Kind kind = Kind::plain;
    if (ends_with(tail, ".m3u") || ends_with(tail, ".m3u8")) {
        kind = Kind::m3u;
    } else if (ends_with(tail, ".pls")) {
        kind = Kind::pls;
    } else if (ends_with(tail, ".url")) {
        kind = Kind::url;
    }
    return kind != Kind::plain && is_url(path) ? Kind::plain : kind;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::string content(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return content;
}

std::string folder_of(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Calls visit with each line, trimmed, without its end (LF or CR LF) and without a leading
// byte-order mark.
template <typename Visit>
void for_each_line(std::string_view content, Visit visit) {
    std::size_t start = content.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        visit(trim(content.substr(start, end - start)));
        start = end + 1;
    }
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// file:///music/a%20b.mp3 names the local file /music/a b.mp3.
std::string local_path_of_file_url(const std::string& url) {
    std::string path;
    for (std::size_t i = 7; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && hex_value(url[i + 1]) >= 0 &&
            hex_value(url[i + 2]) >= 0) {
            path += static_cast<char>(hex_value(url[i + 1]) * 16 + hex_value(url[i + 2]));
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

std::string resolve(std::string_view line, const std::string& folder) {
    std::string entry(line);
    if (lower_ascii(entry.substr(0, 8)) == "file:///") {
        return local_path_of_file_url(entry);
    }
    if (entry.front() == '/' || folder.empty() || is_url(entry)) {
        return entry;
    }
    std::string joined = folder;
    if (joined.back() != '/') {
        joined += '/';
    }
    joined += entry;
    // Normalising costs a little, so only paths with "." or ".." parts pay for it.
    if (joined.find("/.") != std::string::npos) {
        joined = std::filesystem::path(joined).lexically_normal().string();
    }
    return joined;
}

void expand_into(const std::string& path, int depth, std::vector<std::string>& out);

std::string absolute_path(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

void expand_all(std::vector<std::string>&& entries, int depth, std::vector<std::string>& out) {
    if (out.empty()) {
        out.reserve(entries.size());
    }
    for (auto& entry : entries) {
        if (kind_of(entry) == Kind::plain) {
            out.push_back(std::move(entry));
        } else {
            expand_into(entry, depth + 1, out);
        }
    }
}

void expand_into(const std::string& path, int depth, std::vector<std::string>& out) {
    const Kind kind = kind_of(path);
    if (kind == Kind::plain) {
        out.push_back(path);
        return;
    }
    if (depth > kPlaylistDepthMax) {
        return;
    }
    const std::string content = read_file(path);
    switch (kind) {
        case Kind::m3u:
            expand_all(parse_m3u(content, folder_of(path)), depth, out);
            break;
        case Kind::pls:
            expand_all(parse_pls(content, folder_of(path)), depth, out);
            break;
        case Kind::url:
            if (auto address = parse_url_shortcut(content); !address.empty()) {
                out.push_back(address);
            }
            break;
        case Kind::plain:
            break;
    }
}

bool is_audio_file(const std::filesystem::path& path) {
    static const char* const kExtensions[] = {".mp3", ".ogg", ".oga", ".opus", ".flac", ".wav",
                                              ".m4a", ".aac", ".wma", ".mpc",  ".ape",  ".wv"};
    const std::string extension = lower_ascii(path.extension().string());
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const char* known) { return extension == known; });
}

}  // namespace

std::vector<std::string> parse_m3u(const std::string& content, const std::string& folder) {
    std::vector<std::string> entries;
    for_each_line(content, [&](std::string_view line) {
        if (!line.empty() && line.front() != '#') {
            entries.push_back(resolve(line, folder));
        }
    });
    return entries;
}

std::vector<std::string> parse_pls(const std::string& content, const std::string& folder) {
    std::vector<std::pair<long, std::string>> numbered;
    for_each_line(content, [&](std::string_view line) {
        const auto equals = line.find('=');
        if (equals == std::string_view::npos ||
            lower_ascii(std::string(line.substr(0, 4))) != "file") {
            return;
        }
        const std::string number(line.substr(4, equals - 4));
        const std::string_view value = trim(line.substr(equals + 1));
        if (number.empty() || value.empty() ||
            number.find_first_not_of("0123456789") != std::string::npos || number.size() > 9) {
            return;
        }
        numbered.emplace_back(std::stol(number), resolve(value, folder));
    });
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> entries;
    entries.reserve(numbered.size());
    for (auto& [number, path] : numbered) {
        entries.push_back(std::move(path));
    }
    return entries;
}

std::string parse_url_shortcut(const std::string& content) {
    std::string address;
    for_each_line(content, [&](std::string_view line) {
        if (address.empty() && lower_ascii(std::string(line.substr(0, 4))) == "url=") {
            address = std::string(trim(line.substr(4)));
        }
    });
    return address;
}

std::vector<std::string> expand_entry(const std::string& path) {
    std::vector<std::string> out;
    if (path.empty()) {
        return out;
    }
    // A relative name means the host's working folder; resolved now, it stays right when the
    // remembered playlist is read back elsewhere.
    const bool relative = path.front() != '/' && !is_url(path);
    expand_into(relative ? absolute_path(path) : path, 0, out);
    return out;
}

std::vector<std::string> expand_entry_or_folder(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        return expand_entry(path);
    }
    std::vector<std::string> files;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(path, options, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && is_audio_file(it->path())) {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace dravo
