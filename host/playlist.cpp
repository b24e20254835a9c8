#include "playlist.h"

namespace dravo {

Playlist::Playlist(TitleReader reader)
    : reader_(std::move(reader)), table_(std::make_shared<const PlaylistTable>()) {}

std::size_t Playlist::add(std::vector<std::string>&& paths) {
    const std::size_t before = size_;
    for (auto& path : paths) {
        if (path.empty() || path.find_first_of("\r\n") != std::string::npos) {
            continue;
        }
        if (size_ % kPlaylistChunk == 0) {
            // Views made before keep the old table; only the chunk pointers are copied.
            auto grown = std::make_shared<PlaylistTable>(*table_);
            grown->push_back(std::make_shared<PlaylistChunk>());
            table_ = std::move(grown);
        }
        // The slot lies beyond every view handed out so far, so no reader can see it yet.
        (*table_)[size_ / kPlaylistChunk]->entries[size_ % kPlaylistChunk].path = std::move(path);
        ++size_;
    }
    return size_ - before;
}

void Playlist::clear() {
    table_ = std::make_shared<const PlaylistTable>();
    size_ = 0;
}

const PlaylistEntry* Playlist::entry(std::size_t index) const {
    if (index >= size_) {
        return nullptr;
    }
    return &(*table_)[index / kPlaylistChunk]->entries[index % kPlaylistChunk];
}

const std::string* Playlist::file_name(std::size_t index) const {
    const PlaylistEntry* entry = this->entry(index);
    return entry != nullptr ? &entry->path : nullptr;
}

const std::string* Playlist::title(std::size_t index) {
    const PlaylistEntry* entry = this->entry(index);
    if (entry == nullptr) {
        return nullptr;
    }
    const std::string* title = entry->title.load(std::memory_order_acquire);
    if (title == nullptr) {
        title = new std::string(reader_(entry->path));
        // Only the main thread writes titles, so there is no second writer to race.
        entry->title.store(title, std::memory_order_release);
    }
    return title;
}

}  // namespace dravo
