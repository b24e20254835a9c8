// What the session shows in the main window (RemoteView), and bringing the window up.
#include "remote_dialog_win32.h"

#include <commctrl.h>

#include "osd_window_windows.h"
#include "resource.h"
#include "track_list.h"
#include "tray_icon_windows.h"
#include "window_rules.h"

namespace dravo {
namespace {

constexpr const char* kProgramName = "dravo";

}  // namespace

std::string RemoteDialogWin32::text_of(int id) const {
    HWND edit = control(id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

void RemoteDialogWin32::set_window_text(const std::string& text) {
    SetWindowTextA(window_, text.c_str());
}

void RemoteDialogWin32::set_now_playing(const std::string& text) {
    SetDlgItemTextA(window_, IDC_NOW_PLAYING, text.c_str());
}

void RemoteDialogWin32::set_tray_tip(const std::string& text) { tray_->set_tip(text); }

void RemoteDialogWin32::show_osd(const std::string& text) { osd_->show(text); }

void RemoteDialogWin32::set_volume_slider(int position) {
    SendDlgItemMessageA(window_, IDC_VOLUME, TBM_SETPOS, TRUE, position);
}

void RemoteDialogWin32::set_shuffle_box(ShuffleBox state) {
    const WPARAM check = state == ShuffleBox::checked     ? BST_CHECKED
                         : state == ShuffleBox::unchecked ? BST_UNCHECKED
                                                          : BST_INDETERMINATE;
    SendDlgItemMessageA(window_, IDC_SHUFFLE, BM_SETCHECK, check, 0);
}

void RemoteDialogWin32::make_shuffle_box_two_state() {
    SendDlgItemMessageA(window_, IDC_SHUFFLE, BM_SETSTYLE, BS_CHECKBOX, TRUE);
}

void RemoteDialogWin32::show_track_rows(const TrackList& list) {
    HWND box = control(IDC_TRACKS);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    SendMessageA(box, LB_INITSTORAGE, list.shown_count(), 64 * list.shown_count());
    for (std::size_t row = 0; row < list.shown_count(); ++row) {
        const std::string text(list.shown_text(row));
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

void RemoteDialogWin32::select_track_row(std::optional<std::size_t> row) {
    SendDlgItemMessageA(window_, IDC_TRACKS, LB_SETCURSEL,
                        row ? static_cast<WPARAM>(*row) : static_cast<WPARAM>(-1), 0);
}

std::optional<std::size_t> RemoteDialogWin32::selected_track_row() const {
    const LRESULT row = SendDlgItemMessageA(window_, IDC_TRACKS, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? std::nullopt : std::optional<std::size_t>(row);
}

std::string RemoteDialogWin32::search_text() const { return text_of(IDC_SEARCH); }

void RemoteDialogWin32::set_search_text(const std::string& text) {
    SetDlgItemTextA(window_, IDC_SEARCH, text.c_str());
}

void RemoteDialogWin32::focus_search() {
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(IDC_SEARCH)), TRUE);
}

std::string RemoteDialogWin32::filter_text() const { return text_of(IDC_FILTER); }

void RemoteDialogWin32::set_filter_text(const std::string& text) {
    SetDlgItemTextA(window_, IDC_FILTER, text.c_str());
}

void RemoteDialogWin32::show_message(const std::string& text) {
    MessageBoxA(window_, text.c_str(), kProgramName, MB_OK);
}

void RemoteDialogWin32::show_error(const std::string& text) {
    MessageBoxA(window_, text.c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

void RemoteDialogWin32::show_at_cursor() {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT frame{};
    GetWindowRect(window_, &frame);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    keep_hidden_ = false;
    const auto place = place_at_cursor(cursor.x, cursor.y, frame.right - frame.left,
                                       frame.bottom - frame.top, work.right);
    SetWindowPos(window_, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // Only the foreground's owner may hand the foreground on: borrow its input for a moment.
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD own = GetCurrentThreadId();
    const bool attached = foreground != own && AttachThreadInput(foreground, own, TRUE);
    SetForegroundWindow(window_);
    SetFocus(window_);
    if (attached) {
        AttachThreadInput(foreground, own, FALSE);
    }
    focus_search();
    SendDlgItemMessageA(window_, IDC_SEARCH, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(window_, IDC_SEARCH, EM_SCROLLCARET, 0, 0);
}

void RemoteDialogWin32::set_sleep_button_text(const std::string& text) {
    SetDlgItemTextA(window_, IDC_SLEEP, text.c_str());
}

}  // namespace dravo
