// X11: a compositing manager owns the selection _NET_WM_CM_S<screen>.
#include "compositor.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

#include <string>

namespace dravo {

bool compositor_running() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return XGetSelectionOwner(display, selection) != None;
}

}  // namespace dravo
