// dravo.exe: the settings file from the command line (" /i file", else ./dravo.ini), the
// settings, the window's common controls, then the client until Exit.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "client_settings.h"
#include "remote_app_windows.h"
#include "request_runner.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    dravo::ClientSettings settings(dravo::default_settings_file());
    if (const auto file = dravo::settings_file_from_command_line(GetCommandLineA())) {
        settings.file_name = *file;
    }
    settings.load_and_correct();
    dravo::BlockingRunner runner;  // one thread: a request blocks the window, as it always did
    dravo::RemoteAppWin32 app(settings, runner);
    return app.run();
}
