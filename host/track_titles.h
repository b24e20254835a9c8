#pragma once
// Display titles of playlist entries. Pure functions, safe from any thread.
#include <optional>
#include <string>

namespace dravo {

struct TrackTags {
    std::string artist;
    std::string title;
};

// True for an address such as http://host/stream (a scheme followed by "://").
bool is_url(const std::string& path);
// The file name without its folder and its last extension; a URL gives itself.
std::string file_title(const std::string& path);
// "Artist - Title" when both tags are there, the title tag alone, else file_title(path).
std::string make_title(const std::string& path, const std::optional<TrackTags>& tags);
// The tags of a local file (UTF-8); nullopt when the file cannot be read. About 50 us a file.
std::optional<TrackTags> read_tags(const std::string& path);
// make_title with the file's own tags; URLs are not opened.
std::string read_title(const std::string& path);

}  // namespace dravo
