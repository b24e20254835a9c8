#include "filter_edit.h"

#include <QKeyEvent>

namespace dravo {
namespace {

bool is_step_key(int key) { return key == Qt::Key_Down || key == Qt::Key_Up; }

// The completer counts in UTF-8 bytes, the edit in UTF-16 units.
std::size_t bytes_before(const QString& text, int position) {
    return static_cast<std::size_t>(text.left(position).toUtf8().size());
}

int units_before(const std::string& text, std::size_t bytes) {
    return static_cast<int>(QString::fromStdString(text.substr(0, bytes)).size());
}

}  // namespace

FilterEdit::FilterEdit(FilterCompleter& completer, QWidget* parent)
    : QLineEdit(parent), completer_(completer) {}

EditState FilterEdit::state() const {
    const QString shown = text();
    EditState edit{shown.toStdString(), 0, 0};
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    edit.selection_start = bytes_before(shown, start);
    edit.selection_end = bytes_before(shown, end);
    return edit;
}

void FilterEdit::show_state(const EditState& edit) {
    setText(QString::fromStdString(edit.text));
    const int start = units_before(edit.text, edit.selection_start);
    const int end = units_before(edit.text, edit.selection_end);
    // Selected from the typed prefix to the end, the caret at the end and scrolled into view.
    setSelection(start, end - start);
}

void FilterEdit::keyPressEvent(QKeyEvent* event) {
    if (!is_step_key(event->key())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (auto next = completer_.step(state(), event->key() == Qt::Key_Down ? 1 : -1)) {
        show_state(*next);
    }
}

void FilterEdit::keyReleaseEvent(QKeyEvent* event) {
    if (is_step_key(event->key())) {
        return;
    }
    QLineEdit::keyReleaseEvent(event);
    // The character the key typed, if any; modifier and cursor keys give none.
    const QString typed = event->text();
    const int character = typed.size() == 1 ? typed.at(0).unicode() : 0;
    if (auto next = completer_.key_released(state(), character)) {
        show_state(*next);
    }
}

}  // namespace dravo
