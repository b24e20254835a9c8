// Platforms where a tool window stays out of the taskbar by itself.
#include "taskbar_hint.h"

namespace dravo {

void keep_off_taskbar(QWidget&) {}

}  // namespace dravo
