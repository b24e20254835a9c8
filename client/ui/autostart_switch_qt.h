#pragma once
// The window's "Start at login" box: shows whether the user's autostart entry exists and
// writes or removes it on a click (AutostartEntry does the work). User-interface thread only.
// A failure shows a message box with the reason and puts the box back as it was.
class QCheckBox;

namespace dravo {

QCheckBox* make_autostart_switch();

}  // namespace dravo
