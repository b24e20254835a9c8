// The library's C entry points on Windows, where a window names the receiver: each window gets a
// target record of its own whose delivery posts the media-key message to it. Nothing escapes
// them.
#include <map>

#include "dravo_shellhook.h"
#include "hook_registry.h"

#define DRAVO_SHELLHOOK_EXPORT extern "C" __declspec(dllexport)

namespace dravo::shellhook {
namespace {

// On the hook's thread: a post only, which the window reads on its own thread.
void post_to_window(void* window, std::uint32_t message, std::uint32_t lparam) {
    PostMessageA(static_cast<HWND>(window), message, 0, static_cast<LPARAM>(lparam));
}

struct WindowTargets {
    std::mutex mutex;
    std::map<HWND, std::unique_ptr<DravoMediaKeyTarget>> targets;

    static WindowTargets& get() {
        static auto* windows = new WindowTargets;  // never destroyed, like the registry
        return *windows;
    }
};

}  // namespace
}  // namespace dravo::shellhook

DRAVO_SHELLHOOK_EXPORT int SetMMShellHook(HWND window) {
    using dravo::shellhook::WindowTargets;
    if (window == nullptr) {
        return 0;
    }
    try {
        auto& windows = WindowTargets::get();
        std::lock_guard lock(windows.mutex);
        auto& target = windows.targets[window];
        if (!target) {
            target = std::make_unique<DravoMediaKeyTarget>(
                DravoMediaKeyTarget{dravo::shellhook::post_to_window, window, 0, 0});
        }
        if (dravo::shellhook::HookRegistry::get().add(target.get())) {
            return 1;
        }
        windows.targets.erase(window);
        return 0;
    } catch (...) {
        return 0;
    }
}

DRAVO_SHELLHOOK_EXPORT void UnSetMMShellHook(HWND window) {
    using dravo::shellhook::WindowTargets;
    try {
        auto& windows = WindowTargets::get();
        std::lock_guard lock(windows.mutex);
        const auto found = windows.targets.find(window);
        if (found == windows.targets.end()) {
            return;
        }
        // Once the removal returns, nothing is delivered to the record any more.
        dravo::shellhook::HookRegistry::get().remove(found->second.get());
        windows.targets.erase(found);
    } catch (...) {
    }
}
