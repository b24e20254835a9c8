#pragma once
// The filter edit: a line edit that completes the typed text in place from the filters applied
// before. It forwards its keys to a FilterCompleter and shows the edit state that comes back;
// Down and Up step through the matches instead of moving the caret.
// GUI thread only. Nothing fails: a key without a match leaves the edit as it is.
#include <QLineEdit>

#include "filter_completion.h"

namespace dravo {

class FilterEdit : public QLineEdit {
public:
    FilterEdit(FilterCompleter& completer, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    EditState state() const;
    void show_state(const EditState& edit);

    FilterCompleter& completer_;
};

}  // namespace dravo
