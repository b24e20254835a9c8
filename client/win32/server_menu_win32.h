#pragma once
// The Server button's menu on Windows: a right click on the button (which is also what a long
// press of a pen or a finger gives) opens a pop-up menu of ServerMenu's entries, the current one
// checked; the entry picked is carried out before the call returns. User-interface thread only;
// the menu runs its own modal loop. Nothing fails: a menu that cannot be made shows nothing.
#include <windows.h>

namespace dravo {

class ServerMenu;

// Opens the menu with its top left corner at point (screen coordinates).
void run_server_menu(HWND owner, ServerMenu& menu, POINT at);

}  // namespace dravo
