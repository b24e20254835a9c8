#pragma once
// The client's icon in the notification area: icon 132, id 0, clicks sent to the main window as
// message 0x7AB8 with the mouse message in lParam; its tip follows the title (at most 127
// characters, taken as they are). User-interface thread only. The shell's answers are ignored:
// without a notification area the program runs on without an icon.
#include <windows.h>

#include <functional>
#include <string>

#include "client_shell.h"

namespace dravo {

class TrayIconWin32 final : public NotificationIcon {
public:
    // window gives the main window, made after this object.
    explicit TrayIconWin32(std::function<HWND()> window) : window_(std::move(window)) {}

    void add() override;
    void remove() override;
    void set_tip(const std::string& tip);

private:
    bool notify(DWORD action, HICON icon, const std::string& tip);

    std::function<HWND()> window_;
};

}  // namespace dravo
