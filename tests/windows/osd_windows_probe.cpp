// Shows the on-screen display over a backdrop window of one colour, for a screenshot of the wine
// desktop (osd_screenshot_test.sh), and reports clicks that reach the backdrop through it.
// Usage: osd_windows_probe <text> <seconds to stay>. Prints "shown" once the text is up and
// "backdrop clicked" for each click the backdrop gets.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "osd_window_windows.h"

namespace {

LRESULT CALLBACK backdrop_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN) {
        std::puts("backdrop clicked");
        std::fflush(stdout);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_backdrop() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = backdrop_procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hbrBackground = CreateSolidBrush(RGB(30, 60, 200));
    window_class.lpszClassName = "osd_backdrop";
    RegisterClassA(&window_class);
    return CreateWindowExA(0, "osd_backdrop", "backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::puts("usage: osd_windows_probe <text> <seconds>");
        return 2;
    }
    HWND backdrop = make_backdrop();
    dravo::OsdWindow osd;
    if (!backdrop || !osd.init(true, 60, 3)) {
        std::puts("init failed");
        return 1;
    }
    osd.show(argv[1]);
    std::puts("shown");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[2])) * 1000;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return 0;
}
