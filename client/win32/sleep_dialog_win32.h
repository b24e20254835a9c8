#pragma once
// The sleep dialog (template 131): hours and minutes, offered from the settings; OK stores what
// the edits read as numbers (any text; none reads as 0) in the settings, Cancel changes nothing.
// User-interface thread; modal to owner. True when the user pressed OK.
#include <windows.h>

namespace dravo {

class ClientSettings;

bool run_sleep_dialog(HWND owner, ClientSettings& settings);

}  // namespace dravo
