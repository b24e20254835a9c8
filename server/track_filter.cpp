#include "track_filter.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "media_cache.h"
#include "player_control.h"
#include "server_settings.h"
#include "text.h"

namespace dravo {
namespace {

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 0;
}

bool contains(std::string_view subject, std::string_view needle) {
    return subject.find(needle) != std::string_view::npos;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One line per track, CR LF ended. False when the file cannot be created or fully written.
bool write_playlist(const std::string& path, const std::string& root, const MediaCache& cache,
                    const CacheLock& held, const std::vector<std::size_t>& selected) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    std::string block;
    bool written = true;
    auto flush = [&] {
        written = written && std::fwrite(block.data(), 1, block.size(), file.get()) == block.size();
        block.clear();
    };
    for (std::size_t index : selected) {
        block.append(root).append(cache.entry(held, index)).append("\r\n");
        if (block.size() >= (1u << 20)) flush();
    }
    flush();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace

TrackFilter::TrackFilter(MediaCache& cache, PlayerControl& player, ServerSettings& settings)
    : cache_(cache), player_(player), settings_(settings) {}

void TrackFilter::apply(const std::string& raw_filter) {
    filter_text_ = percent_decode(raw_filter);
    std::vector<std::string> to_add = select(split_tokens(filter_text_));
    // The host's thread may wait for the cache's lock: talk to the host only without it.
    player_.clear_playlist();
    for (const auto& path : to_add) player_.add_file(path);
}

std::vector<std::string> TrackFilter::select(const std::vector<std::string>& tokens) {
    auto held = cache_.lock();
    cache_.ensure_loaded(held);
    save_current_filter(filter_text_);
    std::vector<std::size_t> selected;
    for (std::size_t i = 0, n = cache_.size(held); i < n; ++i)
        if (matches(cache_.subject(held, i), tokens)) selected.push_back(i);
    const std::string root = cache_.media_root_path();
    const std::string playlist = temp_playlist_path();
    if (write_playlist(playlist, root, cache_, held, selected)) return {playlist};
    std::vector<std::string> tracks;
    tracks.reserve(selected.size());
    for (std::size_t index : selected) tracks.push_back(root + std::string(cache_.entry(held, index)));
    return tracks;
}

void TrackFilter::save_current_filter(const std::string& text) {
    std::lock_guard settings_lock(settings_.guard);
    settings_.current_filter = text;
    settings_.save_setting(settings_.current_filter);
}

std::string TrackFilter::percent_decode(const std::string& value) {
    std::string decoded;
    decoded.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            int byte = (16 * digit_value(value[i + 1]) + digit_value(value[i + 2])) % 256;
            decoded += static_cast<char>(byte);
            i += 2;
        } else {
            decoded += value[i];
        }
    }
    return decoded;
}

std::vector<std::string> TrackFilter::split_tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    bool quoted = false;
    auto finish = [&] {
        if (!current.empty()) tokens.push_back(lower_case(current));
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
        if (token.empty()) continue;  // split_tokens makes none; other callers might
        std::string_view needle = std::string_view(token).substr(1);
        if (token == "*") {
            selected = true;
        } else if (token[0] == '+') {
            if (!contains(subject, needle)) return false;
        } else if (token[0] == '-') {
            if (contains(subject, needle)) return false;
        } else if (!selected && contains(subject, token)) {
            selected = true;
        }
    }
    return selected;
}

std::string temp_playlist_path() {
    const char* tmp = std::getenv("TMP");
    if (!tmp || !*tmp) return kTempPlaylistName;
    return std::string(tmp) + kPathSeparator + kTempPlaylistName;
}

}  // namespace dravo
