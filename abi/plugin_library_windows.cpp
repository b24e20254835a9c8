#include <windows.h>

#include "plugin_library.h"

namespace dravo {

void* open_library(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(library);
}

void* find_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void close_library(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool is_plugin_file_name(const std::string& file_name) {
    return file_name.size() > 8 && file_name.rfind("gen_", 0) == 0 &&
           file_name.compare(file_name.size() - 4, 4, ".dll") == 0;
}

std::string default_plugin_folder() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return "Plugins";
    }
    std::string path(buffer, length);
    return path.substr(0, path.find_last_of('\\') + 1) + "Plugins";
}

}  // namespace dravo
