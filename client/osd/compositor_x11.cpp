// X11: a compositing manager owns the selection _NET_WM_CM_S<screen>.
#include "compositor.h"

#include <X11/Xlib.h>

#include <string>

#include "x11_display.h"

namespace dravo {

bool compositor_running() {
    Display* display = qt_x11_display();
    if (!display) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return XGetSelectionOwner(display, selection) != None;
}

}  // namespace dravo
