#include "sleep_dialog_win32.h"

#include "client_settings.h"
#include "remote_protocol.h"
#include "resource.h"
#include "text.h"

namespace dravo {
namespace {

int number_in(HWND dialog, int id) {
    char text[remote::kEditTextMax + 1] = {};
    GetDlgItemTextA(dialog, id, text, static_cast<int>(sizeof(text)));
    return static_cast<int>(to_number(text));
}

INT_PTR CALLBACK sleep_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* settings = reinterpret_cast<ClientSettings*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        SetDlgItemTextA(dialog, IDC_SLEEP_HOURS, to_text(settings->sleep_hours).c_str());
        SetDlgItemTextA(dialog, IDC_SLEEP_MINUTES, to_text(settings->sleep_minutes).c_str());
        return TRUE;  // the focus to the first control, the hours
    }
    if (message != WM_COMMAND || (LOWORD(wparam) != IDOK && LOWORD(wparam) != IDCANCEL)) {
        return FALSE;
    }
    if (LOWORD(wparam) == IDOK) {
        auto* settings = reinterpret_cast<ClientSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
        settings->set_sleep_time(number_in(dialog, IDC_SLEEP_HOURS),
                                 number_in(dialog, IDC_SLEEP_MINUTES));
    }
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
}

}  // namespace

bool run_sleep_dialog(HWND owner, ClientSettings& settings) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SLEEP), owner,
                           sleep_procedure, reinterpret_cast<LPARAM>(&settings)) == IDOK;
}

}  // namespace dravo
