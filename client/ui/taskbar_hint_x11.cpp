// X11: the _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER states.
#include "taskbar_hint.h"

#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "x11_display.h"

namespace dravo {

void keep_off_taskbar(QWidget& window) {
    Display* display = qt_x11_display();
    if (!display) {
        return;
    }
    const auto id = static_cast<Window>(window.winId());
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom skip[2] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                    XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
    if (!window.isVisible()) {
        // Before mapping the window owns the property; Qt adds its own states to it on show.
        XChangeProperty(display, id, state, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(skip), 2);
    } else {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = id;
        event.xclient.message_type = state;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // add
        event.xclient.data.l[1] = static_cast<long>(skip[0]);
        event.xclient.data.l[2] = static_cast<long>(skip[1]);
        event.xclient.data.l[3] = 1;  // from an application
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }
    XFlush(display);
}

}  // namespace dravo
