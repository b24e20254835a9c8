#include "x11_display.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

namespace dravo {

Display* qt_x11_display() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace dravo
