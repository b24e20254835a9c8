#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "plugin_library.h"

namespace dravo {

void* open_library(const std::string& path, std::string& error) {
    // Local symbols: two plug-ins may well define the same names.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "cannot open";
    }
    return library;
}

void* find_symbol(void* library, const char* name) { return dlsym(library, name); }

void close_library(void* library) { dlclose(library); }

bool is_plugin_file_name(const std::string& file_name) {
    return file_name.size() > 7 && file_name.rfind("gen_", 0) == 0 &&
           file_name.compare(file_name.size() - 3, 3, ".so") == 0;
}

std::string default_plugin_folder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return "plugins";
    }
    std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/') + 1) + "plugins";
}

}  // namespace dravo
