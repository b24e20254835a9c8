#pragma once
// Ends the client in order when its X server goes away. A logout ends the X server together with
// the window manager and the tray host, and Qt's X11 platform then calls exit(1) on the GUI
// thread from inside the event loop. exit() alone would leave the settings unsaved and run the
// static destructors while the session bus's thread still uses what they destroy (a crash in
// some logouts, "Timers cannot be stopped from another thread" in others).
//
// While an EndOnLostDisplay lives, such an exit() first runs end_now on the GUI thread (the
// window's shutdown: timers stopped, settings saved, tray icon deleted, media keys and bus name
// given up) and then ends the process at once with status 0, as the end on SIGTERM does, without
// the destructors: the windows cannot be taken down without their display. Should end_now throw,
// the status is 1. Any other exit() goes on as before: one on another thread, one while the
// display is still there, one after the guard is gone.
//
// Construct and destroy on the GUI thread, one at a time, after the QApplication and after
// everything end_now uses is set up: each guard registers the exit hook anew, so it runs before
// the destructors of what was made until then, and after those of anything made later (a hook
// of an earlier guard then finds no guard and does nothing, or, the later guard not yet made, runs
// the earlier guard's end_now after those destructors: such an end_now must use only what was
// made before it). Without an X11 display (offscreen, Wayland, other systems) it does nothing.
#include <functional>

namespace dravo {

class EndOnLostDisplay {
public:
    explicit EndOnLostDisplay(std::function<void()> end_now);
    ~EndOnLostDisplay();
    EndOnLostDisplay(const EndOnLostDisplay&) = delete;
    EndOnLostDisplay& operator=(const EndOnLostDisplay&) = delete;
};

}  // namespace dravo
