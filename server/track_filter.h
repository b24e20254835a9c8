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
struct MediaSource;

inline constexpr const char* kTempPlaylistName = "dravo_temp_pl.m3u";

class TrackFilter {
public:
    TrackFilter(MediaCache& cache, PlayerControl& player);

    // Clears the playlist and adds the tracks of source that pass the (decoded) filter text.
    void apply(const std::string& filter_text, const MediaSource& source);

    // Blank-separated, lower-cased tokens; double quotes group blanks into a token.
    static std::vector<std::string> split_tokens(const std::string& text);
    // Tokens: "*" selects all, "+x" requires x, "-x" rejects x, any other selects what holds it.
    // No tokens: every track.
    static bool matches(std::string_view subject, const std::vector<std::string>& tokens);

private:
    // The paths to hand to the player: the temporary playlist, or when it cannot be written,
    // each selected track.
    std::vector<std::string> select(const std::vector<std::string>& tokens,
                                    const MediaSource& source);

    MediaCache& cache_;
    PlayerControl& player_;
};

// $TMP, the separator and the playlist name; the bare name (current folder) when TMP is unset
// or empty (an empty TMP would otherwise put the file in the file system root).
std::string temp_playlist_path();

}  // namespace dravo
