#include "track_filter.h"

#include <cstdlib>

#include "block_file_writer.h"
#include "media_cache.h"
#include "player_control.h"
#include "text.h"

namespace dravo {
namespace {

bool contains(std::string_view subject, std::string_view needle) {
    return subject.find(needle) != std::string_view::npos;
}

// One line per track, CR LF ended. False when the file cannot be created or fully written.
bool write_playlist(const std::string& path, const std::string& root, const MediaCache& cache,
                    const CacheLock& held, const std::vector<std::size_t>& selected) {
    BlockFileWriter file(path);
    for (std::size_t index : selected) {
        file.append(root);
        file.append(cache.entry(held, index));
        file.append("\r\n");
    }
    return file.finish();
}

}  // namespace

TrackFilter::TrackFilter(MediaCache& cache, PlayerControl& player)
    : cache_(cache), player_(player) {}

void TrackFilter::apply(const std::string& filter_text, const MediaSource& source) {
    std::vector<std::string> to_add = select(split_tokens(filter_text), source);
    // The host's thread may wait for the cache's lock: talk to the host only without it.
    player_.clear_playlist();
    for (const auto& path : to_add) {
        player_.add_file(path);
    }
}

std::vector<std::string> TrackFilter::select(const std::vector<std::string>& tokens,
                                             const MediaSource& source) {
    auto held = cache_.lock();
    cache_.ensure_loaded(held, source);
    std::vector<std::size_t> selected;
    for (std::size_t i = 0, n = cache_.size(held); i < n; ++i) {
        if (matches(cache_.subject(held, i), tokens)) {
            selected.push_back(i);
        }
    }
    const std::string playlist = temp_playlist_path();
    if (write_playlist(playlist, source.root, cache_, held, selected)) {
        return {playlist};
    }
    std::vector<std::string> tracks;
    tracks.reserve(selected.size());
    for (std::size_t index : selected) {
        tracks.push_back(source.root + std::string(cache_.entry(held, index)));
    }
    return tracks;
}

std::vector<std::string> TrackFilter::split_tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    bool quoted = false;
    auto finish = [&] {
        if (!current.empty()) {
            tokens.push_back(lower_case(current));
        }
        current.clear();
    };
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            finish();
        } else {
            current += c;
        }
    }
    finish();
    return tokens;
}

bool TrackFilter::matches(std::string_view subject, const std::vector<std::string>& tokens) {
    bool selected = tokens.empty();
    for (const auto& token : tokens) {
        if (token.empty()) {
            continue;  // split_tokens makes none; other callers might
        }
        std::string_view needle = std::string_view(token).substr(1);
        if (token == "*") {
            selected = true;
        } else if (token[0] == '+') {
            if (!contains(subject, needle)) {
                return false;
            }
        } else if (token[0] == '-') {
            if (contains(subject, needle)) {
                return false;
            }
        } else if (!selected && contains(subject, token)) {
            selected = true;
        }
    }
    return selected;
}

std::string temp_playlist_path() {
    const char* tmp = std::getenv("TMP");
    if (!tmp || !*tmp) {
        return kTempPlaylistName;
    }
    return std::string(tmp) + kPathSeparator + kTempPlaylistName;
}

}  // namespace dravo
