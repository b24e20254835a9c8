// Folder enumeration for the media cache with FindFirstFileA/FindNextFileA. Names come in the
// ANSI code page, as every other path of the plug-in.
#include <windows.h>

#include <cstring>
#include <set>
#include <utility>

#include "media_cache.h"
#include "text.h"

namespace dravo {
namespace {

bool is_dot_name(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name the code page cannot spell comes back with '?' (never legal in a name), and the ANSI
// functions could not open it; a line break would split the cache file's line.
bool usable_name(const char* name) { return std::strpbrk(name, "?\r\n") == nullptr; }

// Volume and file index: the same folder reached through a junction or a link has the same.
using FolderId = std::pair<DWORD, std::uint64_t>;

bool folder_id(const std::string& path, FolderId& id) {
    HANDLE folder = CreateFileA(path.empty() ? "." : path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(folder, &info) != 0;
    CloseHandle(folder);
    id = {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return ok;
}

class Scanner {
public:
    Scanner(const std::string& root, const ExtensionSet& extensions, std::vector<std::string>& out,
            std::atomic<std::size_t>* found)
        : root_(root), extensions_(extensions), out_(out), found_(found) {}

    void scan(const std::string& relative) {
        const std::string path = root_ + relative;
        FolderId id;
        if (!folder_id(path, id) || !visited_.insert(id).second) return;
        WIN32_FIND_DATAA entry{};
        HANDLE find = FindFirstFileA((path + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return;  // missing, no access, path too long
        std::vector<std::string> folders;
        // A failure other than the end stops this folder; what was read stays.
        do {
            if (!usable_name(entry.cFileName)) continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!is_dot_name(entry.cFileName)) folders.emplace_back(entry.cFileName);
            } else if (extensions_.matches(entry.cFileName)) {
                out_.push_back(relative + entry.cFileName);
                if (found_) found_->fetch_add(1, std::memory_order_relaxed);
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        for (const auto& folder : folders) scan(relative + folder + kPathSeparator);
    }

private:
    const std::string& root_;
    const ExtensionSet& extensions_;
    std::vector<std::string>& out_;
    std::atomic<std::size_t>* found_;
    std::set<FolderId> visited_;
};

}  // namespace

void MediaCache::scan_directory(const std::string& root, const std::string& relative,
                                const ExtensionSet& extensions, std::vector<std::string>& out,
                                std::atomic<std::size_t>* found) {
    Scanner(root, extensions, out, found).scan(relative);
}

}  // namespace dravo
