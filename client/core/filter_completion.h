#pragma once
// In-place completion of the filter edit from the filters applied before (the MRU list, oldest
// first): typing a character offers the oldest entry that begins with the typed text, with the
// added part selected; Down and Up step through the matching entries and stop at either end.
// The edit widget forwards its keys here and shows what comes back. Positions are byte offsets
// into UTF-8 text. User-interface thread only; nothing fails: no match leaves the edit as it is.
#include <optional>
#include <string>
#include <vector>

namespace dravo {

struct EditState {
    std::string text;
    std::size_t selection_start = 0;
    std::size_t selection_end = 0;
};

class FilterCompleter {
public:
    // The list is shared with the settings and read at every step.
    explicit FilterCompleter(const std::vector<std::string>& mru) : mru_(mru) {}

    // Down (+1) and Up (-1): the next or previous match. The edit's own key handling is skipped.
    std::optional<EditState> step(const EditState& edit, int direction);
    // After a released key, once the edit has handled it: a key giving a text character (as
    // is_text_char counts them; 0 for none) starts afresh at the first match.
    std::optional<EditState> key_released(const EditState& edit, int character);
    // One completion step at the current index.
    std::optional<EditState> complete(const EditState& edit);

    int index() const { return index_; }

private:
    const std::vector<std::string>& mru_;
    int index_ = 0;
};

}  // namespace dravo
