#pragma once
// The entries of the player's playlist: file names (or addresses) with display titles that are
// read on first use and cached, so that adding a long list never touches the files.
// Owned by the player model; every Playlist call is main thread only. view() hands out an
// immutable view of the entries that any thread may read while the main thread goes on.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dravo {

using TitleReader = std::function<std::string(const std::string& path)>;

// One entry. The path never changes once the entry is visible; the title is read once, on the
// main thread, and published with release so that other threads find it whole or not at all.
struct PlaylistEntry {
    PlaylistEntry() = default;
    PlaylistEntry(const PlaylistEntry&) = delete;
    PlaylistEntry& operator=(const PlaylistEntry&) = delete;
    ~PlaylistEntry() { delete title.load(std::memory_order_relaxed); }

    std::string path;
    // Filled in through const views too: it is a cache, not part of the entry's value.
    mutable std::atomic<const std::string*> title{nullptr};
};

// Entries live in fixed chunks that never move, so appending never disturbs a reader. A table of
// chunks is shared by pointer and replaced (not changed) when a chunk is added.
inline constexpr std::size_t kPlaylistChunk = 1024;
struct PlaylistChunk {
    PlaylistEntry entries[kPlaylistChunk];
};
using PlaylistTable = std::vector<std::shared_ptr<PlaylistChunk>>;

// The first size() entries of a playlist as they were when the view was made. Cheap to copy;
// any thread. Out-of-range indexes give null.
class PlaylistView {
public:
    PlaylistView() = default;
    PlaylistView(std::shared_ptr<const PlaylistTable> table, std::size_t size)
        : table_(std::move(table)), size_(size) {}

    std::size_t size() const { return size_; }
    const PlaylistEntry* entry(std::size_t index) const {
        if (index >= size_) {
            return nullptr;
        }
        return &(*table_)[index / kPlaylistChunk]->entries[index % kPlaylistChunk];
    }

private:
    std::shared_ptr<const PlaylistTable> table_;
    std::size_t size_ = 0;
};

class Playlist {
public:
    explicit Playlist(TitleReader reader);

    // Appends the paths in order; empty ones and ones with line breaks (which no playlist
    // file could hold) are left out. Returns how many were added.
    std::size_t add(std::vector<std::string>&& paths);
    // Starts afresh; views made before keep their entries.
    void clear();
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    PlaylistView view() const { return PlaylistView(table_, size_); }

    // Null when index is out of range. Pointers stay valid until the playlist changes.
    const std::string* file_name(std::size_t index) const;
    const std::string* title(std::size_t index);

private:
    const PlaylistEntry* entry(std::size_t index) const;

    TitleReader reader_;
    std::shared_ptr<const PlaylistTable> table_;
    std::size_t size_ = 0;
};

}  // namespace dravo
