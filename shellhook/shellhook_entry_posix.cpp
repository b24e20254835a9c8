// The library's C entry points where a target record names the receiver (X11 and the
// systems without a hook). Nothing escapes them.
#include "dravo_shellhook.h"
#include "hook_registry.h"

#define DRAVO_SHELLHOOK_EXPORT extern "C" __attribute__((visibility("default")))

DRAVO_SHELLHOOK_EXPORT int SetMMShellHook(DravoMediaKeyTarget* target) {
    if (target == nullptr || target->deliver == nullptr) {
        return 0;
    }
    try {
        return dravo::shellhook::HookRegistry::get().add(target) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

DRAVO_SHELLHOOK_EXPORT void UnSetMMShellHook(DravoMediaKeyTarget* target) {
    if (target == nullptr) {
        return;
    }
    try {
        dravo::shellhook::HookRegistry::get().remove(target);
    } catch (...) {
    }
}
