// The Windows on-screen display's contract: a text shows for its duration and then goes; a
// switched-off display shows nothing and keeps no text; the window never takes the activation or
// the mouse. (Its pixels: osd_screenshot_test.sh.)
#include <gtest/gtest.h>
#include <windows.h>

#include "osd_window_windows.h"

namespace dravo::test {
namespace {

// Lets the window's timer run for ms.
void pump_for(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TEST(OsdWindowWindows, ATextShowsForItsDurationThenGoes) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(true, 1, 3));
    const LONG_PTR styles = GetWindowLongPtrA(osd.window(), GWL_EXSTYLE);
    constexpr LONG_PTR kStyles[] = {WS_EX_TOPMOST, WS_EX_LAYERED, WS_EX_TRANSPARENT,
                                    WS_EX_TOOLWINDOW, WS_EX_NOACTIVATE};
    for (LONG_PTR style : kStyles) {
        EXPECT_TRUE(styles & style) << std::hex << style;
    }
    HWND active = GetForegroundWindow();
    EXPECT_TRUE(osd.show("A & B\nsecond line"));
    EXPECT_TRUE(IsWindowVisible(osd.window()));
    EXPECT_EQ(osd.text(), "A & B\nsecond line");
    EXPECT_EQ(GetForegroundWindow(), active);
    pump_for(500);
    EXPECT_TRUE(osd.show("again"));  // the full duration anew
    pump_for(700);
    EXPECT_EQ(osd.text(), "again");
    pump_for(600);
    EXPECT_EQ(osd.text(), "");
    EXPECT_FALSE(IsWindowVisible(osd.window()));
}

TEST(OsdWindowWindows, SwitchedOffShowsNothing) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(false, 4, 3));
    EXPECT_TRUE(osd.show("hidden"));
    EXPECT_EQ(osd.text(), "");
    EXPECT_FALSE(IsWindowVisible(osd.window()));
}

TEST(OsdWindowWindows, ADurationOfZeroEndsAtOnce) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(true, 0, 0));
    osd.show("brief");
    pump_for(200);
    EXPECT_EQ(osd.text(), "");
}

}  // namespace
}  // namespace dravo::test
