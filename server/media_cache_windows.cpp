// Folder listing for the media scan with FindFirstFileA/FindNextFileA. Names come in the ANSI
// code page, as every other path of the plug-in.
#include <windows.h>

#include <cstring>

#include "media_folder.h"

namespace dravo {
namespace {

// A name the code page cannot spell comes back with '?' (never legal in a name), and the ANSI
// functions could not open it.
bool spelled(const char* name) { return std::strchr(name, '?') == nullptr; }

bool folder_id(const std::string& path, FolderId& id) {
    HANDLE folder = CreateFileA(path.empty() ? "." : path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(folder, &info) != 0;
    CloseHandle(folder);
    // Volume and file index: the same folder reached through a junction or a link has the same.
    id = {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return ok;
}

}  // namespace

bool list_folder(const std::string& path, FolderId& id, std::vector<FolderEntry>& entries) {
    if (!folder_id(path, id)) {
        return false;
    }
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((path + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        if (spelled(entry.cFileName)) {
            entries.push_back(
                {entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return true;
}

}  // namespace dravo
