#pragma once
// Where the media keys join the main window's start-up and shutdown. Each member is optional: an
// empty one means "not installed" and its step is skipped without a word. The media-key code
// fills them; the window calls them on the GUI thread, in its start-up and shutdown order:
//   install          right after the on-screen display (false: "SetMMShellHook() failed!" in a
//                    box, "ERROR: SetMMShellHook() failed!" on the display, and the program goes
//                    on)
//   register_actions after the update check, before the first status poll
//   remove           last, after the settings are saved and the tray icon is gone
// A key that wants the window at the cursor calls RemoteDialog::show_at_cursor().
#include <functional>

namespace dravo {

class RemoteDialog;

struct MediaKeyHooks {
    std::function<bool(RemoteDialog&)> install;
    std::function<void(RemoteDialog&)> register_actions;
    std::function<void(RemoteDialog&)> remove;
};

}  // namespace dravo
