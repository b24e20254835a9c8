#pragma once
// The X display connection Qt opened for the application, for the few X11 requests Qt has no
// call for (the compositor's selection, the taskbar hint). GUI thread, after the QApplication.
// nullptr when there is none: no application yet, or another platform (offscreen, Wayland).
// Built only where X11 is found. Xlib's macros clash with Qt's names, so this header leaves
// <X11/Xlib.h> to the caller: the result is Xlib's Display*.
struct _XDisplay;

namespace dravo {

_XDisplay* qt_x11_display();

}  // namespace dravo
