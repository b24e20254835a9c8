// A stand-in for the player on Windows, for tests: a window of the player's main window class
// that answers the plug-in's messages from StubPlayer, the plug-in loaded from the DLL named on
// the command line, its init, the message loop, and its quit once the window is closed.
//
//   winamp_stub.exe <plug-in.dll>                 runs until the window is closed (/shutdown)
//   winamp_stub.exe <plug-in.dll> --config P R E  opens the plug-in's dialog, types P, R and E
//                                                 into its three edits, presses OK and ends
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "config_dialog_ids.h"
#include "plugin_abi.h"
#include "plugin_library.h"
#include "stub_player.h"

namespace {

// The class name by which plug-ins and tools find the player's main window.
constexpr const char* kMainWindowClass = "Winamp v1.x";

dravo::stub::StubPlayer player;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    bool handled = false;
    const std::intptr_t result = player.answer(message, wparam, lparam, handled);
    if (handled) {
        return result;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND create_main_window() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kMainWindowClass;
    if (!RegisterClassA(&window_class)) {
        return nullptr;
    }
    return CreateWindowA(kMainWindowClass, "dravo test host", WS_OVERLAPPEDWINDOW, 0, 0, 320, 120,
                         nullptr, nullptr, window_class.hInstance, nullptr);
}

// Plays the user of the dialog from another thread: waits for it, fills it in, presses OK.
void fill_config_dialog(const std::string port, const std::string root, const std::string ext) {
    HWND dialog = nullptr;
    for (int tries = 0; tries < 600 && !dialog; ++tries) {
        dialog = FindWindowA("#32770", "dravo_srv config");
        if (!dialog) {
            Sleep(50);
        }
    }
    if (!dialog) {
        return;
    }
    SetDlgItemTextA(dialog, IDC_PORT, port.c_str());
    SetDlgItemTextA(dialog, IDC_MEDIA_ROOT, root.c_str());
    SetDlgItemTextA(dialog, IDC_FILE_EXTENSIONS, ext.c_str());
    // A changed port brings up the notice box, which this thread closes in turn.
    std::thread closer([] {
        for (int tries = 0; tries < 100; ++tries) {
            if (HWND box = FindWindowA("#32770", "dravo_srv")) {
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(50);
        }
    });
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    closer.join();
}

int fail(const std::string& what) {
    std::fprintf(stderr, "winamp_stub: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 6 && std::string(argv[2]) == "--config")) {
        return fail("usage: winamp_stub <plug-in.dll> [--config port media_root extensions]");
    }
    HWND window = create_main_window();
    if (!window) {
        return fail("cannot create the main window (is there a display?)");
    }
    std::string error;
    void* library = dravo::open_library(argv[1], error);
    if (!library) {
        return fail(error);
    }
    auto entry =
        reinterpret_cast<PluginEntryFunction>(dravo::find_symbol(library, dravo::kPluginEntryName));
    PluginRecord* record = entry ? entry() : nullptr;
    if (!record || record->version != dravo::kPluginRecordVersion) {
        return fail("not a plug-in");
    }
    record->hwndParent = window;
    record->hDllInstance = library;
    if (record->init() != 0) {
        return fail("init failed");
    }
    std::printf("winamp_stub: %s loaded\n", record->description);
    std::fflush(stdout);

    if (argc == 6) {
        std::thread user(fill_config_dialog, argv[3], argv[4], argv[5]);
        record->config();
        user.join();
        DestroyWindow(window);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    record->quit();
    dravo::close_library(library);
    std::printf("winamp_stub: closed\n");
    return 0;
}
