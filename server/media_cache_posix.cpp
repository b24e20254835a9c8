// Folder listing for the media scan with opendir/readdir.
#include <dirent.h>
#include <sys/stat.h>

#include "media_folder.h"

namespace dravo {
namespace {

// Links are followed, to folders too, as a media collection often links in other disks.
// d_type saves a stat per entry on file systems that fill it in.
bool is_directory(DIR* dir, const dirent* entry) {
    if (entry->d_type == DT_DIR) {
        return true;
    }
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) {
        return false;  // dangling link
    }
    return S_ISDIR(info.st_mode);
}

}  // namespace

bool list_folder(const std::string& path, FolderId& id, std::vector<FolderEntry>& entries) {
    DIR* dir = opendir(path.empty() ? "." : path.c_str());
    if (!dir) {
        return false;
    }
    struct stat info {};
    const bool opened = fstat(dirfd(dir), &info) == 0;
    if (opened) {
        id = {info.st_dev, info.st_ino};
        while (const dirent* entry = readdir(dir)) {
            entries.push_back({entry->d_name, is_directory(dir, entry)});
        }
    }
    closedir(dir);
    return opened;
}

}  // namespace dravo
