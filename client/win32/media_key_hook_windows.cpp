#include "media_key_hook_windows.h"

#include "media_keys.h"

namespace dravo {
namespace {

constexpr const char* kLibrary = "dravo_shellhook.dll";

template <typename Entry>
Entry entry(HMODULE library, const char* name) {
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

MediaKeyHookWindows::MediaKeyHookWindows(std::function<HWND()> window, RemoteSession& session,
                                         std::function<void()> bring_up)
    : window_(std::move(window)), session_(session), bring_up_(std::move(bring_up)) {}

MediaKeyHookWindows::~MediaKeyHookWindows() { remove(); }

bool MediaKeyHookWindows::install() {
    library_ = LoadLibraryA(kLibrary);
    if (!library_) {
        return false;
    }
    auto set = entry<int (*)(HWND)>(library_, "SetMMShellHook");
    unset_ = entry<void (*)(HWND)>(library_, "UnSetMMShellHook");
    hooked_ = window_();
    installed_ = set && unset_ && set(hooked_) != 0;
    return installed_;
}

void MediaKeyHookWindows::register_actions() {
    handler_ = std::make_unique<MediaKeyHandler>(session_, bring_up_);
}

void MediaKeyHookWindows::remove() {
    if (installed_) {
        unset_(hooked_);
        installed_ = false;
    }
    if (library_) {
        FreeLibrary(library_);
        library_ = nullptr;
    }
}

int MediaKeyHookWindows::handle(std::uint32_t lparam) {
    return handler_ ? handler_->handle(lparam) : 0;
}

}  // namespace dravo
