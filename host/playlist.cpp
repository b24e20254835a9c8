#include "playlist.h"

namespace dravo {

std::size_t Playlist::add(std::vector<std::string>&& paths) {
    const std::size_t before = entries_.size();
    entries_.reserve(before + paths.size());
    for (auto& path : paths) {
        if (!path.empty() && path.find_first_of("\r\n") == std::string::npos) {
            entries_.push_back(Entry{std::move(path), std::nullopt});
        }
    }
    return entries_.size() - before;
}

const std::string* Playlist::file_name(std::size_t index) const {
    return index < entries_.size() ? &entries_[index].path : nullptr;
}

const std::string* Playlist::title(std::size_t index) {
    if (index >= entries_.size()) {
        return nullptr;
    }
    Entry& entry = entries_[index];
    if (!entry.title) {
        entry.title = reader_(entry.path);
    }
    return &*entry.title;
}

}  // namespace dravo
