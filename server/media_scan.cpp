// The media scan: files of a folder before its subfolders, depth first, in the file system's
// order; the platform files only list folders.
#include <set>

#include "media_cache.h"
#include "media_folder.h"
#include "text.h"

namespace dravo {
namespace {

bool is_dot_name(const std::string& name) { return name == "." || name == ".."; }

// A name with a line break cannot stand as one line of the cache file or the playlist.
bool fits_on_one_line(const std::string& name) {
    return name.find_first_of("\r\n") == std::string::npos;
}

class Scanner {
public:
    Scanner(const std::string& root, const ExtensionSet& extensions, std::vector<std::string>& out,
            std::atomic<std::size_t>* found)
        : root_(root), extensions_(extensions), out_(out), found_(found) {}

    void scan(const std::string& relative) {
        FolderId id;
        std::vector<FolderEntry> entries;
        // A folder reached again through a link is skipped: no loop, no entry twice.
        if (!list_folder(root_ + relative, id, entries) || !visited_.insert(id).second) {
            return;
        }
        std::vector<std::string> folders;
        for (auto& entry : entries) {
            if (!fits_on_one_line(entry.name)) {
                continue;
            }
            if (entry.is_folder) {
                if (!is_dot_name(entry.name)) {
                    folders.push_back(std::move(entry.name));
                }
            } else if (extensions_.matches(entry.name)) {
                out_.push_back(relative + entry.name);
                if (found_) {
                    found_->fetch_add(1, std::memory_order_relaxed);
                }
            }
        }
        for (const auto& folder : folders) {
            scan(relative + folder + kPathSeparator);
        }
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
