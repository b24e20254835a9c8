#include "filter_edit_win32.h"

#include <commctrl.h>

#include <string>

#include "filter_completion.h"

namespace dravo {
namespace {

constexpr UINT_PTR kSubclassId = 1;

struct FilterEditState {
    FilterCompleter& completer;
    int typed = 0;  // the character the key being held typed, 0 for none
};

EditState state_of(HWND edit) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {text, start, end};
}

void show(HWND edit, const EditState& state) {
    SetWindowTextA(edit, state.text.c_str());
    SendMessageA(edit, EM_SETSEL, state.selection_start, static_cast<LPARAM>(state.selection_end));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK filter_procedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR data) {
    auto& self = *reinterpret_cast<FilterEditState*>(data);
    const bool step_key = wparam == VK_DOWN || wparam == VK_UP;
    if (message == WM_KEYDOWN && step_key) {
        if (auto next = self.completer.step(state_of(edit), wparam == VK_DOWN ? 1 : -1)) {
            show(edit, *next);
        }
        return 0;
    }
    if (message == WM_KEYDOWN) {
        self.typed = 0;  // until its character comes
    }
    if (message == WM_CHAR) {
        self.typed = static_cast<unsigned char>(wparam);
    }
    if (message == WM_KEYUP && !step_key) {
        const LRESULT result = DefSubclassProc(edit, message, wparam, lparam);
        if (auto next = self.completer.key_released(state_of(edit), self.typed)) {
            show(edit, *next);
        }
        self.typed = 0;
        return result;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, filter_procedure, kSubclassId);
        delete &self;
    }
    return DefSubclassProc(edit, message, wparam, lparam);
}

}  // namespace

void attach_filter_completion(HWND edit, FilterCompleter& completer) {
    auto* state = new FilterEditState{completer};
    if (!SetWindowSubclass(edit, filter_procedure, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(state))) {
        delete state;
    }
}

}  // namespace dravo
