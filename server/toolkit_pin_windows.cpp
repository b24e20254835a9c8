// Pins the Qt DLLs that the plug-in brought in, for a Windows build with the Qt dialog.
#include <windows.h>

#include <QApplication>

#include "toolkit_pin.h"

namespace dravo {
namespace {

bool pin_module_of(const void* symbol) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
               static_cast<LPCSTR>(symbol), &module) != 0;
}

}  // namespace

bool keep_toolkit_loaded() {
    const bool core = pin_module_of(reinterpret_cast<const void*>(&qVersion));
    const bool widgets =
        pin_module_of(reinterpret_cast<const void*>(&QApplication::activeModalWidget));
    return core && widgets;
}

}  // namespace dravo
