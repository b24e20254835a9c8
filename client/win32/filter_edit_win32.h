#pragma once
// The filter edit's completion from the filters applied before: the edit control is subclassed,
// Down and Up step through the matches, and after a key that typed a character the completion is
// shown with its added part selected (FilterCompleter decides; this file only reads and writes
// the edit). User-interface thread only; nothing fails.
#include <windows.h>

namespace dravo {

class FilterCompleter;

// completer outlives the edit.
void attach_filter_completion(HWND edit, FilterCompleter& completer);

}  // namespace dravo
