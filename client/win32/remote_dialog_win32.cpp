// The main window's messages: controls, accelerators, the volume slider, timers, the tray and
// media-key messages, and the window behaviour (hidden until called up, hiding on deactivation).
#include "remote_dialog_win32.h"

#include <commctrl.h>

#include "client_lifecycle.h"
#include "dravo_shellhook.h"
#include "filter_edit_win32.h"
#include "remote_protocol.h"
#include "remote_session.h"
#include "resource.h"
#include "server_menu_win32.h"
#include "sleep_dialog_win32.h"
#include "window_rules.h"

namespace dravo {
namespace {

constexpr UINT kEndMessage = WM_APP + 1;    // quit(): the end once the handler has returned
constexpr UINT kTasksMessage = WM_APP + 2;  // wake_for_tasks()
constexpr int kVolumePage = 20;

VolumeScroll volume_scroll(int code) {
    switch (code) {
        case TB_LINEUP:
            return VolumeScroll::line_up;
        case TB_LINEDOWN:
            return VolumeScroll::line_down;
        case TB_PAGEUP:
            return VolumeScroll::page_up;
        case TB_PAGEDOWN:
            return VolumeScroll::page_down;
        case TB_THUMBPOSITION:
        case TB_THUMBTRACK:
            return VolumeScroll::thumb;
        case TB_TOP:
            return VolumeScroll::top;
        case TB_BOTTOM:
            return VolumeScroll::bottom;
        default:
            return VolumeScroll::other;
    }
}

TrayClick tray_click(LPARAM mouse_message) {
    switch (mouse_message) {
        case WM_CONTEXTMENU:
        case WM_RBUTTONDOWN:
            return TrayClick::right;
        case WM_LBUTTONDOWN:
            return TrayClick::left;
        default:
            return TrayClick::other;
    }
}

}  // namespace

RemoteDialogWin32::~RemoteDialogWin32() {
    if (window_) {
        DestroyWindow(window_);
    }
}

bool RemoteDialogWin32::create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_REMOTE), nullptr,
                                 &RemoteDialogWin32::procedure, reinterpret_cast<LPARAM>(this));
    if (!window_) {
        return false;
    }
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    icon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDR_PROGRAM_ICON));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SendDlgItemMessageA(window_, IDC_VOLUME, TBM_SETRANGE, TRUE,
                        MAKELPARAM(remote::kVolumeMin, remote::kVolumeMax));
    SendDlgItemMessageA(window_, IDC_VOLUME, TBM_SETPAGESIZE, 0, kVolumePage);
    for (int edit : {IDC_SEARCH, IDC_FILTER}) {
        SendDlgItemMessageA(window_, edit, EM_SETLIMITTEXT, remote::kEditTextMax, 0);
    }
    return true;
}

void RemoteDialogWin32::attach(RemoteSession& session, ClientLifecycle& lifecycle,
                               TrayIconWin32& tray, OsdWindow& osd, ServerMenu& server_menu) {
    session_ = &session;
    lifecycle_ = &lifecycle;
    tray_ = &tray;
    osd_ = &osd;
    server_menu_ = &server_menu;
    attach_filter_completion(control(IDC_FILTER), session.filter_completer());
}

bool RemoteDialogWin32::pre_translate(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    // Down and Up in the filter edit step through its completions instead of the list.
    const bool completion_key = message.message == WM_KEYDOWN &&
                                message.hwnd == control(IDC_FILTER) &&
                                (message.wParam == VK_DOWN || message.wParam == VK_UP);
    if (!completion_key && TranslateAcceleratorA(window_, accelerators_, &message)) {
        return true;
    }
    return IsDialogMessageA(window_, &message) != FALSE;
}

void RemoteDialogWin32::hide_for_good() {
    keep_hidden_ = true;
    ShowWindow(window_, SW_HIDE);
}

INT_PTR CALLBACK RemoteDialogWin32::procedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        return FALSE;  // the start-up places the focus
    }
    auto* self = reinterpret_cast<RemoteDialogWin32*>(GetWindowLongPtrA(window, DWLP_USER));
    return self && self->lifecycle_ ? self->handle(message, wparam, lparam) : FALSE;
}

INT_PTR RemoteDialogWin32::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == EN_UPDATE && LOWORD(wparam) == IDC_SEARCH) {
                session_->show_matching_tracks();
            } else if (HIWORD(wparam) == LBN_DBLCLK && LOWORD(wparam) == IDC_TRACKS) {
                session_->play_selected();
            } else if (HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == 1) {
                command(LOWORD(wparam));  // a button, or an accelerator (1)
            }
            return TRUE;
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lparam) != control(IDC_VOLUME)) {
                return FALSE;
            }
            scroll(wparam);
            return TRUE;
        case WM_TIMER:
            if (timer_sink_) {
                timer_sink_(wparam);
            }
            return TRUE;
        case WM_CONTEXTMENU:
            // A right click on a child comes here; only the Server button has a menu.
            if (reinterpret_cast<HWND>(wparam) != control(IDC_SERVER)) {
                return FALSE;
            }
            open_server_menu(lparam);
            return TRUE;
        case kTrayMessage:
            lifecycle_->tray_clicked(tray_click(lparam));
            return TRUE;
        case DRAVO_MEDIA_KEY_MESSAGE:
            SetWindowLongPtrA(
                window_, DWLP_MSGRESULT,
                media_key_sink_ ? media_key_sink_(static_cast<std::uint32_t>(lparam)) : 0);
            return TRUE;
        case kEndMessage:
            lifecycle_->end();
            return TRUE;
        case kTasksMessage:
            if (task_sink_) {
                task_sink_();
            }
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE && hide_on_deactivate_) {
                ShowWindow(window_, SW_HIDE);
            }
            return FALSE;
        case WM_WINDOWPOSCHANGING:
            keep_hidden(*reinterpret_cast<WINDOWPOS*>(lparam));
            return FALSE;
        default:
            return FALSE;
    }
}

void RemoteDialogWin32::open_server_menu(LPARAM at) {
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) {  // from the keyboard: below the button
        RECT button{};
        GetWindowRect(control(IDC_SERVER), &button);
        point = {button.left, button.bottom};
    }
    run_server_menu(window_, *server_menu_, point);
}

void RemoteDialogWin32::keep_hidden(WINDOWPOS& place) const {
    if (keep_hidden_ && (place.flags & SWP_SHOWWINDOW)) {
        place.flags = (place.flags & ~SWP_SHOWWINDOW) | SWP_HIDEWINDOW;
    }
}

void RemoteDialogWin32::command(int id) {
    switch (id) {
        case IDC_NEXT:
            return session_->next_track();
        case IDC_PREV:
            return session_->previous_track();
        case IDC_PLAY:
            return session_->start_playback();
        case IDC_PAUSE:
            return session_->pause_playback();
        case IDC_STOP:
            return session_->stop_playback();
        case IDC_SHUFFLE:
            return session_->toggle_shuffle();
        case IDC_SERVER:
            return session_->next_server();
        case IDC_RELOAD:
            return session_->load_track_list();
        case IDC_APPLY_FILTER:
            return session_->apply_filter();
        case IDC_GO:
            return session_->play_selected();
        case IDC_SLEEP:
            return open_sleep_dialog();
        case IDC_ABOUT:
            return session_->show_about();
        case IDC_UPDATE:
            return session_->request_update();
        case IDOK:
            return lifecycle_->end();
        case IDCANCEL:
            ShowWindow(window_, SW_HIDE);  // Esc and close hide; only Exit ends
            return;
        case ID_ENTER:
            if (GetFocus() == control(IDC_FILTER)) {
                return session_->apply_filter();
            }
            return session_->play_selected();
        case ID_LIST_UP:
        case ID_LIST_DOWN:
        case ID_LIST_PAGE_UP:
        case ID_LIST_PAGE_DOWN: {
            // The list's selection moves while the focus stays in the search edit.
            const WPARAM key = id == ID_LIST_UP        ? VK_UP
                               : id == ID_LIST_DOWN    ? VK_DOWN
                               : id == ID_LIST_PAGE_UP ? VK_PRIOR
                                                       : VK_NEXT;
            SendMessageA(control(IDC_TRACKS), WM_KEYDOWN, key, 0);
            return;
        }
        default:
            return;
    }
}

void RemoteDialogWin32::scroll(WPARAM wparam) {
    const int code = LOWORD(wparam);
    const int position =
        code == TB_THUMBPOSITION || code == TB_THUMBTRACK
            ? HIWORD(wparam)
            : static_cast<int>(SendDlgItemMessageA(window_, IDC_VOLUME, TBM_GETPOS, 0, 0));
    if (const auto volume =
            volume_after_scroll(volume_scroll(code), session_->state().volume, position)) {
        session_->set_volume(*volume);
    }
}

void RemoteDialogWin32::open_sleep_dialog() {
    hide_on_deactivate_ = false;
    const bool ok = run_sleep_dialog(window_, settings_);
    hide_on_deactivate_ = true;
    focus_search();
    lifecycle_->sleep_dialog_closed(ok);
}

void RemoteDialogWin32::quit() { PostMessageA(window_, kEndMessage, 0, 0); }

void RemoteDialogWin32::wake_for_tasks() const { PostMessageA(window_, kTasksMessage, 0, 0); }

}  // namespace dravo
