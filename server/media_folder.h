#pragma once
// One folder's listing for the media scan; the platform files supply it. Any thread.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dravo {

// The same for one folder however it is reached (a link, a junction): device and file number.
using FolderId = std::pair<std::uint64_t, std::uint64_t>;

struct FolderEntry {
    std::string name;
    bool is_folder = false;  // links are followed: a link to a folder is a folder
};

// The entries of the folder at path ("" is the current folder), "." and ".." included, in the
// file system's order, leaving out names the platform could not open again. False when the folder
// cannot be opened (missing, no access, path too long); a read error later ends the listing with
// what was read.
bool list_folder(const std::string& path, FolderId& id, std::vector<FolderEntry>& entries);

}  // namespace dravo
