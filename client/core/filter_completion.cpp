#include "filter_completion.h"

#include <algorithm>

#include "text.h"

namespace dravo {

std::optional<EditState> FilterCompleter::step(const EditState& edit, int direction) {
    index_ += direction;
    return complete(edit);
}

std::optional<EditState> FilterCompleter::key_released(const EditState& edit, int character) {
    if (character == 0 || !is_text_char(character)) {
        return std::nullopt;
    }
    index_ = 0;
    return complete(edit);
}

std::optional<EditState> FilterCompleter::complete(const EditState& edit) {
    std::string prefix = edit.text;
    // A selected tail is an earlier completion, not typed text.
    if (edit.selection_start < edit.selection_end && edit.selection_end == edit.text.size()) {
        prefix.resize(edit.selection_start);
    }
    if (index_ < 0) {
        index_ = 0;
    }
    int matches = 0;
    const std::string* latest = nullptr;
    for (const auto& entry : mru_) {
        if (entry == prefix || !entry.starts_with(prefix)) {
            continue;
        }
        latest = &entry;
        if (matches++ >= index_) {
            break;
        }
    }
    index_ = std::min(index_, matches - 1);
    if (!latest) {
        return std::nullopt;
    }
    return EditState{*latest, prefix.size(), latest->size()};
}

}  // namespace dravo
