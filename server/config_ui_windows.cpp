// The Win32 configuration dialog: the dialog resource 1000 of this DLL, run modally from the
// config entry on the host's thread. It shows state and forwards clicks; ServerConfig does the
// work. A refresh scans on ServerConfig's worker while a timer shows the count found so far.
#include <windows.h>

#include <string>

#include "config_dialog_ids.h"
#include "config_ui.h"
#include "media_cache.h"
#include "plugin.h"
#include "server_config.h"

namespace dravo {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 50;

HINSTANCE this_module() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&install_config_ui), &module);
    return module;
}

std::string item_text(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        return {};
    }
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    const int n = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

// Named like the Qt dialog: the name breaks the naming rule on purpose (the dialog class has
// always been config_dlg_t).
class config_dlg_t {
public:
    explicit config_dlg_t(Plugin& plugin)
        : config_(plugin.settings(), plugin.media_cache(),
                  [this](const std::string& text, const std::string& caption) {
                      MessageBoxA(window_, text.c_str(), caption.c_str(), MB_OK);
                  }) {}

    INT_PTR handle(HWND window, UINT message, WPARAM wparam) {
        switch (message) {
            case WM_INITDIALOG:
                window_ = window;
                show_texts();
                return TRUE;  // focus on the first control
            case WM_COMMAND:
                command(LOWORD(wparam));
                return TRUE;
            case WM_TIMER:
                if (wparam == kPollTimer) {
                    poll_rebuild();
                }
                return TRUE;
            default:
                return FALSE;
        }
    }

private:
    void show_texts() {
        const ConfigTexts texts = config_.texts();
        SetDlgItemTextA(window_, IDC_PORT, texts.port.c_str());
        SetDlgItemTextA(window_, IDC_MEDIA_ROOT, texts.media_root.c_str());
        SetDlgItemTextA(window_, IDC_FILE_EXTENSIONS, texts.file_extensions.c_str());
    }

    ConfigTexts edit_texts() const {
        return {item_text(window_, IDC_PORT), item_text(window_, IDC_MEDIA_ROOT),
                item_text(window_, IDC_FILE_EXTENSIONS)};
    }

    void command(int id) {
        if (config_.rebuilding()) {
            return;  // Escape and the buttons wait for the scan
        }
        if (id == IDOK) {
            config_.apply(edit_texts());
            EndDialog(window_, IDOK);
        } else if (id == IDCANCEL) {
            EndDialog(window_, IDCANCEL);
        } else if (id == IDC_REFRESH_CACHE) {
            config_.apply(edit_texts());
            set_busy(true);
            config_.start_rebuild();
            poll_rebuild();
            if (config_.rebuilding()) {
                SetTimer(window_, kPollTimer, kPollMs, nullptr);
            }
        }
    }

    void poll_rebuild() {
        const std::string found = std::to_string(config_.files_found());
        if (config_.rebuilding()) {
            SetDlgItemTextA(window_, IDC_PROGRESS, ("Scanning: " + found + " files found").c_str());
            return;
        }
        KillTimer(window_, kPollTimer);
        config_.finish_rebuild();
        SetDlgItemTextA(window_, IDC_PROGRESS, ("Media cache: " + found + " files").c_str());
        set_busy(false);
    }

    void set_busy(bool busy) {
        for (int id : {IDC_REFRESH_CACHE, IDOK, IDCANCEL}) {
            EnableWindow(GetDlgItem(window_, id), !busy);
        }
        for (int id : {IDC_PORT, IDC_MEDIA_ROOT, IDC_FILE_EXTENSIONS}) {
            SendDlgItemMessageA(window_, id, EM_SETREADONLY, busy, 0);
        }
        SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
        if (!busy) {
            SetFocus(GetDlgItem(window_, IDC_REFRESH_CACHE));
        }
    }

    ServerConfig config_;
    HWND window_ = nullptr;
};

INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
    }
    auto* dialog = reinterpret_cast<config_dlg_t*>(GetWindowLongPtrA(window, DWLP_USER));
    // No exception may cross the system's call back into our code.
    try {
        return dialog ? dialog->handle(window, message, wparam) : FALSE;
    } catch (...) {
        return FALSE;
    }
}

std::string show_config_dialog(Plugin& plugin) {
    config_dlg_t dialog(plugin);
    if (DialogBoxParamA(this_module(), MAKEINTRESOURCEA(IDD_DRAVO_CONFIG), nullptr,
                        dialog_procedure, reinterpret_cast<LPARAM>(&dialog)) != -1) {
        return {};
    }
    return "The configuration dialog could not be opened (error " + std::to_string(GetLastError()) +
           ").";
}

}  // namespace

void install_config_ui(Plugin& plugin) { plugin.set_config_ui(show_config_dialog); }

}  // namespace dravo
