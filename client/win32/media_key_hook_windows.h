#pragma once
// The media keys on Windows as the client's KeyHook: loads dravo_shellhook.dll at run time (the
// program runs without it), sets the hook for the main window, which then gets message 0x7AB9,
// and, once the window's controls are set up, runs each delivered key through the core's
// MediaKeyHandler. User-interface thread only, but for the delivery, which only posts. install()
// answers false when the library, its entries or the hook are missing.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "client_shell.h"
#include "dravo_shellhook.h"

namespace dravo {

class MediaKeyHandler;
class RemoteSession;

class MediaKeyHookWindows final : public KeyHook {
public:
    // window gives the main window; bring_up shows it at the cursor (a binding's action).
    MediaKeyHookWindows(std::function<HWND()> window, RemoteSession& session,
                        std::function<void()> bring_up);
    ~MediaKeyHookWindows() override;

    bool install() override;
    void register_actions() override;
    void remove() override;
    // The media-key message: 1 when a binding acted.
    int handle(std::uint32_t lparam);

private:
    std::function<HWND()> window_;
    RemoteSession& session_;
    std::function<void()> bring_up_;
    std::unique_ptr<MediaKeyHandler> handler_;
    HMODULE library_ = nullptr;
    void (*unset_)(HWND) = nullptr;
    HWND hooked_ = nullptr;
    bool installed_ = false;
};

}  // namespace dravo
