// Folder enumeration for the media cache with opendir/readdir.
#include <dirent.h>
#include <sys/stat.h>

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

// Links are followed, to folders too, as a media collection often links in other disks.
// d_type saves a stat per entry on file systems that fill it in.
bool is_directory(DIR* dir, const dirent* entry) {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) return false;  // dangling link
    return S_ISDIR(info.st_mode);
}

// A name with a line break cannot stand as one line of the cache file or the playlist.
bool fits_on_one_line(const char* name) { return std::strpbrk(name, "\r\n") == nullptr; }

class Scanner {
public:
    Scanner(const std::string& root, const ExtensionSet& extensions, std::vector<std::string>& out,
            std::atomic<std::size_t>* found)
        : root_(root), extensions_(extensions), out_(out), found_(found) {}

    void scan(const std::string& relative) {
        std::string path = root_ + relative;
        DIR* dir = opendir(path.empty() ? "." : path.c_str());
        if (!dir) return;  // missing, no access, path too long: nothing from here
        if (!first_visit(dir)) {
            closedir(dir);
            return;
        }
        std::vector<std::string> folders;
        // A read error other than the end stops this folder; what was read stays.
        while (const dirent* entry = readdir(dir)) {
            if (is_directory(dir, entry)) {
                if (!is_dot_name(entry->d_name)) folders.emplace_back(entry->d_name);
            } else if (extensions_.matches(entry->d_name) && fits_on_one_line(entry->d_name)) {
                out_.push_back(relative + entry->d_name);
                if (found_) found_->fetch_add(1, std::memory_order_relaxed);
            }
        }
        closedir(dir);
        for (const auto& folder : folders) scan(relative + folder + kPathSeparator);
    }

private:
    // A folder reached again through a link is skipped: no loop, no entry twice.
    bool first_visit(DIR* dir) {
        struct stat info {};
        if (fstat(dirfd(dir), &info) != 0) return false;
        return visited_.emplace(info.st_dev, info.st_ino).second;
    }

    const std::string& root_;
    const ExtensionSet& extensions_;
    std::vector<std::string>& out_;
    std::atomic<std::size_t>* found_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

void MediaCache::scan_directory(const std::string& root, const std::string& relative,
                                const ExtensionSet& extensions, std::vector<std::string>& out,
                                std::atomic<std::size_t>* found) {
    Scanner(root, extensions, out, found).scan(relative);
}

}  // namespace dravo
