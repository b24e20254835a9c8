// Without X11 the toolkit ends the process itself when its display goes; nothing to watch here.
#include "lost_display.h"

namespace dravo {

EndOnLostDisplay::EndOnLostDisplay(std::function<void()>) {}

EndOnLostDisplay::~EndOnLostDisplay() = default;

}  // namespace dravo
