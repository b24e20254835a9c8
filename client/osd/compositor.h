#pragma once
// Whether a compositing manager runs on the display, so that a translucent window shows what lies
// beneath. GUI thread, after the QApplication. Without a display connection (offscreen) it says
// false; it never fails otherwise.
namespace dravo {

bool compositor_running();

}  // namespace dravo
