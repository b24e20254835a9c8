#pragma once
// The text a widget holds now, as UTF-8. Kept apart from text.h so that the support library
// itself needs no user-interface toolkit. Call on the widget's (the GUI) thread.
#include <string>

class QWidget;

namespace dravo {

// A line edit, label or button: its text; any other widget: its window title.
std::string window_text(const QWidget& widget);
// The same for a widget that may be absent; none gives the empty string.
std::string window_text(const QWidget* widget);

}  // namespace dravo
