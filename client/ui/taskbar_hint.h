#pragma once
// Keeps a top-level window out of taskbars and pagers. Qt gives a tool window no such hint on X11,
// so the window asks the window manager itself. Call on the GUI thread before each show (the
// manager drops the hint when the window is withdrawn); a shown window is asked for it at once.
// Nothing is reported: without a display connection, or on other platforms, it does nothing.
class QWidget;

namespace dravo {

void keep_off_taskbar(QWidget& window);

}  // namespace dravo
