#include "window_text.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace dravo {

std::string window_text(const QWidget& widget) {
    QString text;
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        text = edit->text();
    } else if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    } else {
        text = widget.windowTitle();
    }
    return text.toStdString();
}

std::string window_text(const QWidget* widget) {
    return widget ? window_text(*widget) : std::string();
}

}  // namespace dravo
