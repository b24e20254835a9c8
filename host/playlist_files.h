#pragma once
// What adding one path puts on the playlist: a playlist file (.m3u, .m3u8, .pls) gives its
// entries in order, an internet shortcut (.url) its address, anything else itself.
// Pure file reading, no player state: safe from any thread.
#include <string>
#include <vector>

namespace dravo {

// Playlists inside playlists are followed this deep, so that a loop ends.
inline constexpr int kPlaylistDepthMax = 4;

std::vector<std::string> expand_entry(const std::string& path);
// The same, but a folder gives the audio files below it, sorted by path.
std::vector<std::string> expand_entry_or_folder(const std::string& path);

// The parts, for tests. folder is the playlist's own folder, entries are resolved against it.
std::vector<std::string> parse_m3u(const std::string& content, const std::string& folder);
std::vector<std::string> parse_pls(const std::string& content, const std::string& folder);
std::string parse_url_shortcut(const std::string& content);

}  // namespace dravo
