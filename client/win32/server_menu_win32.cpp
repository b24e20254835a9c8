#include "server_menu_win32.h"

#include "server_menu.h"

namespace dravo {

void run_server_menu(HWND owner, ServerMenu& rules, POINT at) {
    const auto entries = rules.entries();
    HMENU menu = CreatePopupMenu();
    if (!menu) {
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // Command 0 means "nothing picked", so the entries count from 1.
        AppendMenuA(menu, MF_STRING | (entries[i].current ? MF_CHECKED : MF_UNCHECKED), i + 1,
                    menu_label(entries[i]).c_str());
    }
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    const auto picked = static_cast<std::size_t>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
        at.y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (picked >= 1 && picked <= entries.size()) {
        rules.pick(entries[picked - 1]);
    }
}

}  // namespace dravo
