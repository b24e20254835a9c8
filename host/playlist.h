#pragma once
// The entries of the player's playlist: file names (or addresses) with display titles that are
// read on first use and cached, so that adding a long list never touches the files.
// Owned by the player model; main thread only.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dravo {

using TitleReader = std::function<std::string(const std::string& path)>;

class Playlist {
public:
    explicit Playlist(TitleReader reader) : reader_(std::move(reader)) {}

    // Appends the paths in order; empty ones and ones with line breaks (which no playlist
    // file could hold) are left out. Returns how many were added.
    std::size_t add(std::vector<std::string>&& paths);
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // Null when index is out of range. Pointers stay valid until the playlist changes.
    const std::string* file_name(std::size_t index) const;
    const std::string* title(std::size_t index);

private:
    struct Entry {
        std::string path;
        std::optional<std::string> title;
    };

    TitleReader reader_;
    std::vector<Entry> entries_;
};

}  // namespace dravo
