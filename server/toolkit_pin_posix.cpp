#include <dlfcn.h>

#include <QApplication>

#include "toolkit_pin.h"

namespace dravo {
namespace {

// Promotes the already loaded library that holds the symbol to "never unload".
bool pin_library_of(const void* symbol) {
    Dl_info info{};
    if (dladdr(symbol, &info) == 0 || !info.dli_fname) {
        return false;
    }
    return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

}  // namespace

bool keep_toolkit_loaded() {
    const bool core = pin_library_of(reinterpret_cast<const void*>(&qVersion));
    const bool widgets =
        pin_library_of(reinterpret_cast<const void*>(&QApplication::activeModalWidget));
    return core && widgets;
}

}  // namespace dravo
