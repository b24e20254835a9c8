#pragma once
// Turns a filter text into the player's playlist: selects the cached tracks that pass the filter,
// writes their full paths into a temporary playlist and hands it to the player.
// apply() runs on the listener thread only; it takes the cache's lock for the whole selection
// and releases it before talking to the host (whose thread may be waiting for that lock).
#include <string>
#include <string_view>
#include <vector>

namespace dravo {

class MediaCache;
class PlayerControl;
class ServerSettings;

inline constexpr const char* kTempPlaylistName = "dravo_temp_pl.m3u";

class TrackFilter {
public:
    TrackFilter(MediaCache& cache, PlayerControl& player, ServerSettings& settings);

    // Handles /set_filter with the query value as it arrived (still percent-encoded): saves the
    // decoded text as current_filter, clears the playlist and adds the selected tracks.
    void apply(const std::string& raw_filter);
    // The decoded text of the last request.
    const std::string& filter_text() const { return filter_text_; }

    // "%" and the next two characters become one byte; everything else, "+" included, stays.
    static std::string percent_decode(const std::string& value);
    // Blank-separated, lower-cased tokens; double quotes group blanks into a token.
    static std::vector<std::string> split_tokens(const std::string& text);
    // Tokens: "*" selects all, "+x" requires x, "-x" rejects x, any other selects what holds it.
    // No tokens: every track.
    static bool matches(std::string_view subject, const std::vector<std::string>& tokens);

private:
    void save_current_filter(const std::string& text);
    // The paths to hand to the player: the temporary playlist, or when it cannot be written,
    // each selected track.
    std::vector<std::string> select(const std::vector<std::string>& tokens);

    MediaCache& cache_;
    PlayerControl& player_;
    ServerSettings& settings_;
    std::string filter_text_;
};

// $TMP, the separator and the playlist name; the bare name (current folder) when TMP is unset
// or empty (an empty TMP would otherwise put the file in the file system root).
std::string temp_playlist_path();

}  // namespace dravo
