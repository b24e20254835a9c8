#include "tray_icon_windows.h"

#include <shellapi.h>

#include <cstring>

#include "remote_dialog_win32.h"
#include "resource.h"
#include "tray_tip.h"

namespace dravo {

void TrayIconWin32::add() {
    notify(NIM_ADD, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY_ICON)), {});
}

void TrayIconWin32::remove() { notify(NIM_DELETE, nullptr, {}); }

void TrayIconWin32::set_tip(const std::string& tip) { notify(NIM_MODIFY, nullptr, tip); }

bool TrayIconWin32::notify(DWORD action, HICON icon, const std::string& tip) {
    // The version-2 record: every shell since Windows 2000 takes it, and its tip holds 128 bytes.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window_();
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    static_assert(sizeof(data.szTip) > kTrayTipMax);
    std::memcpy(data.szTip, tip.data(), std::min(tip.size(), kTrayTipMax));
    if (action == NIM_ADD) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    }
    return Shell_NotifyIconA(action, &data) != FALSE;
}

}  // namespace dravo
