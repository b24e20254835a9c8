// What the driver does to the client, in order, and what each step must lead to.
#include "client_driver_steps.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "../../client/win32/resource.h"
#include "recording_proxy.h"

namespace dravo::test {
namespace {

constexpr UINT kTrayMessage = 0x7AB8;

// Waits until count requests have come since from (posted input is handled later).
void wait_for(const RecordingProxy& proxy, std::size_t from, std::size_t count) {
    wait_until([&] { return proxy.count() >= from + count; }, 10000);
    Sleep(200);  // and nothing more comes
}

// Waits until the proxy has answered count HEADs (the feed's probe runs on a thread of its own).
std::vector<std::string> heads_after(const RecordingProxy& proxy, std::size_t count) {
    wait_until([&] { return proxy.head_targets().size() >= count; }, 5000);
    Sleep(200);
    return proxy.head_targets();
}

}  // namespace

void Driver::run_all() {
    startup_requests();
    double_click_plays();
    next_button();
    volume_slider();
    shuffle_box();
    filter_with_completion();
    server_switch();
    server_menu();
    sleep_dialog();
    tray_clicks();
    about_box();
    media_key();
    exit_saves();
}

void Driver::startup_requests() {
    // The new host's volume (100) is not the client's first (50): the status announces it.
    expect_requests("the start-up", {"/list", "/title", "/status", "/title", "/get_filter"}, 0);
    check(!IsWindowVisible(dialog_), "the window stays hidden at start");
    check(SendMessageA(control(IDC_TRACKS), LB_GETCOUNT, 0, 0) == 4, "the list shows 4 tracks");
    check(SendMessageA(control(IDC_SHUFFLE), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "the first status left the indeterminate shuffle box unchecked");
    check(SendMessageA(control(IDC_VOLUME), TBM_GETPOS, 0, 0) == 0, "the slider at the top");
    // The proxy stands in for a server without the state API.
    const auto heads = heads_after(proxy_, 1);
    check(heads == std::vector<std::string>{"/api/state"},
          "the feed asks a server whether it offers the state API, once", joined(heads));
}

void Driver::next_button() {
    const auto before = http_get(server_port_, "/title");
    const auto mark = proxy_.count();
    click(IDC_NEXT);
    expect_requests("Next", {"/next", "/title"}, mark);
    const auto title = http_get(server_port_, "/title");
    check(title != before, "Next moved the player on", before + " -> " + title);
    check(text_of(control(IDC_NOW_PLAYING)) == title, "the label shows the new title",
          text_of(control(IDC_NOW_PLAYING)));
}

void Driver::volume_slider() {
    const auto slider = reinterpret_cast<LPARAM>(control(IDC_VOLUME));
    const std::string lower = std::to_string(std::stoi("0" + status_line("volume")) - 10);
    auto mark = proxy_.count();
    SendMessageA(dialog_, WM_VSCROLL, MAKEWPARAM(TB_LINEDOWN, 0), slider);
    expect_requests("a line down on the slider", {"/title", "/volume?volume=" + lower}, mark);
    check(status_line("volume") == lower, "the server's volume is " + lower, status_line("volume"));
    check(SendMessageA(control(IDC_VOLUME), TBM_GETPOS, 0, 0) == 100 - std::stoi(lower),
          "the slider moved with it");
    mark = proxy_.count();
    SendMessageA(dialog_, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 0), slider);
    expect_requests("the thumb dragged to the top", {"/title", "/volume?volume=100"}, mark);
}

void Driver::shuffle_box() {
    const bool was_on = status_line("shuffle") == "1";
    const auto mark = proxy_.count();
    click(IDC_SHUFFLE);
    // The client starts from "off" whatever the server had: its first click asks for on.
    expect_requests("Shuffle", {"/playmode?shuffle=on", "/title"}, mark);
    check(status_line("shuffle") == "1", "the server shuffles", was_on ? "was on" : "was off");
    check(SendMessageA(control(IDC_SHUFFLE), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "the box is checked");
}

void Driver::double_click_plays() {
    HWND list = control(IDC_TRACKS);
    const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const LPARAM third = MAKELPARAM(5, height * 2 + height / 2);
    const auto mark = proxy_.count();
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, third);
    PostMessageA(list, WM_LBUTTONUP, 0, third);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, third);
    PostMessageA(list, WM_LBUTTONUP, 0, third);
    wait_for(proxy_, mark, 3);
    expect_requests("a double click on the third row", {"/play?track=3", "/status", "/title"},
                    mark);
    check(http_get(server_port_, "/get_playing") == "1", "the server plays");
    const auto title = http_get(server_port_, "/title");
    check(title == "loud one" && text_of(control(IDC_NOW_PLAYING)) == title,
          "the third entry, whose title the label shows",
          title + ", label " + text_of(control(IDC_NOW_PLAYING)));
}

void Driver::filter_with_completion() {
    HWND filter = control(IDC_FILTER);
    PostMessageA(filter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));  // the focus
    PostMessageA(filter, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    post_key(filter, 'J');
    Sleep(500);  // the key, its character and its release in the client's order
    const auto selection = static_cast<DWORD>(SendMessageA(filter, EM_GETSEL, 0, 0));
    check(text_of(filter) == "jazz" && LOWORD(selection) == 1 && HIWORD(selection) == 4,
          "typing j completes to jazz with azz selected", text_of(filter));
    const auto mark = proxy_.count();
    post_key(filter, VK_RETURN);
    wait_for(proxy_, mark, 3);
    expect_requests("Enter in the filter", {"/set_filter?filter=jazz", "/list", "/title"}, mark);
    check(SendMessageA(control(IDC_TRACKS), LB_GETCOUNT, 0, 0) == 2, "the list shows 2 tracks");
    check(setting("MRUFilter2") == "jazz" && setting("MRUFilter1") == "rock",
          "the MRU list keeps jazz newest", setting("MRUFilter1") + "," + setting("MRUFilter2"));
}

void Driver::server_switch() {
    const auto mark = proxy_.count();
    click(IDC_SERVER);
    check(proxy_.count() == mark, "Server 2 is asked directly, not through the first");
    check(setting("CurrentServer") == "2", "CurrentServer 2 is written at once",
          setting("CurrentServer"));
    pushed_change();
    const auto back = proxy_.count();
    click(IDC_SERVER);
    expect_requests("Server back to 1", {"/list", "/title", "/status", "/get_filter"}, back);
    const auto heads = heads_after(proxy_, 2);
    check(heads == std::vector<std::string>{"/api/state", "/api/state"},
          "back on the first server the feed asks its probe again, and nothing more",
          joined(heads));
}

// The visible pop-up menu of process; nullptr when none shows up within a few seconds.
HWND Driver::open_server_menu() {
    PostMessageA(dialog_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control(IDC_SERVER)),
                 MAKELPARAM(200, 200));
    DWORD process = 0;
    GetWindowThreadProcessId(dialog_, &process);
    HWND found = nullptr;
    wait_until(
        [&] {
            for (HWND popup = FindWindowExA(nullptr, nullptr, "#32768", nullptr); popup;
                 popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(popup, &owner);
                if (owner == process && IsWindowVisible(popup)) {
                    found = popup;
                }
            }
            return found != nullptr;
        },
        5000);
    return found;
}

// Picks the menu's entry number (from 1) with the keys, as a user would.
void Driver::pick_from_menu(HWND popup, int number) {
    for (int i = 0; i < number; ++i) {
        post_key(popup, VK_DOWN);
    }
    post_key(popup, VK_RETURN);
    wait_until([popup] { return !IsWindowVisible(popup); }, 5000);
}

void Driver::server_menu() {
    HWND popup = open_server_menu();
    check(popup != nullptr, "a right click on Server opens its menu");
    if (!popup) {
        return;
    }
    screenshot("server_menu");
    auto mark = proxy_.count();
    pick_from_menu(popup, 2);
    check(setting("CurrentServer") == "2" && proxy_.count() == mark,
          "picking the second server switches to it, asked directly",
          "CurrentServer " + setting("CurrentServer"));
    popup = open_server_menu();
    check(popup != nullptr, "the menu opens again");
    if (!popup) {
        return;
    }
    mark = proxy_.count();
    pick_from_menu(popup, 1);
    wait_for(proxy_, mark, 4);
    expect_requests("picking the first server", {"/list", "/title", "/status", "/get_filter"},
                    mark);
    check(setting("CurrentServer") == "1", "CurrentServer 1 is written at once");
}

void Driver::pushed_change() {
    // Another entry started on the server itself. The status timer is ten minutes away, so only
    // the server's push can bring the change to the window.
    const auto before = http_get(server_port_, "/title");
    http_get(server_port_, "/play?track=1");
    if (http_get(server_port_, "/title") == before) {
        http_get(server_port_, "/play?track=2");
    }
    const auto title = http_get(server_port_, "/title");
    const auto started = GetTickCount64();
    wait_until([&] { return text_of(control(IDC_NOW_PLAYING)) == title; }, 3000);
    const auto label = text_of(control(IDC_NOW_PLAYING));
    check(label == title && title != before,
          "a title changed on the second server shows by its push (after " +
              std::to_string(GetTickCount64() - started) + " ms)",
          before + " -> " + title + ", label " + label);
}

void Driver::sleep_dialog() {
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_SLEEP, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(IDC_SLEEP)));
    DWORD process = 0;
    GetWindowThreadProcessId(dialog_, &process);
    HWND sleep = find_dialog(process, IDC_SLEEP_HOURS, 10000);
    check(sleep != nullptr, "Sleep opens the sleep dialog (131)");
    if (!sleep) {
        return;
    }
    check(text_of(GetDlgItem(sleep, IDC_SLEEP_HOURS)) == "2" &&
              text_of(GetDlgItem(sleep, IDC_SLEEP_MINUTES)) == "0",
          "it offers 2 hours 0 minutes");
    screenshot("sleep");
    SendMessageA(GetDlgItem(sleep, IDC_SLEEP_HOURS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
    SendMessageA(GetDlgItem(sleep, IDC_SLEEP_MINUTES), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("90"));
    PostMessageA(sleep, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    wait_until([sleep] { return !IsWindow(sleep); }, 5000);
    check(text_of(control(IDC_SLEEP)) == "1h30m", "the Sleep button counts down",
          text_of(control(IDC_SLEEP)));
    check(setting("SleepMinutes") == "90" && setting("SleepHours") == "0",
          "the sleep time is written at once");
}

void Driver::tray_clicks() {
    auto mark = proxy_.count();
    SendMessageA(dialog_, kTrayMessage, 0, WM_LBUTTONDOWN);
    expect_requests("a left click on the tray icon", {"/title"}, mark);
    check(!IsWindowVisible(dialog_), "it leaves the window hidden");
    SetCursorPos(300, 400);
    SendMessageA(dialog_, kTrayMessage, 0, WM_RBUTTONDOWN);
    check(IsWindowVisible(dialog_), "a right click brings the window up");
    RECT frame{};
    GetWindowRect(dialog_, &frame);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Its right edge is kept inside the work area.
    const LONG left = std::min(300L, work.right - (frame.right - frame.left));
    check(frame.bottom == 400 && frame.left == left, "its bottom edge at the cursor",
          std::to_string(frame.left) + "," + std::to_string(frame.bottom));
    screenshot("main");
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    check(!IsWindowVisible(dialog_), "Esc (cancel) hides it again");
    mark = proxy_.count();
    SendMessageA(dialog_, kTrayMessage, 0, WM_MOUSEMOVE);
    check(proxy_.count() == mark && !IsWindowVisible(dialog_), "a mouse move does nothing");
}

void Driver::about_box() {
    const auto mark = proxy_.count();
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(IDC_ABOUT)));
    HWND box = nullptr;
    wait_until([&box] { return (box = FindWindowA("#32770", "dravo")) != nullptr; }, 10000);
    check(box != nullptr, "About shows a message box captioned dravo");
    if (!box) {
        return;
    }
    constexpr int kMessageText = 0xFFFF;  // the box's static text
    const auto text = text_of(GetDlgItem(box, kMessageText));
    check(text.rfind("dravo_srv v1.14\ndravo v1.67", 0) == 0,
          "it names the server's and the client's versions", text.substr(0, 40));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    wait_until([box] { return !IsWindow(box); }, 5000);
    expect_requests("About", {"/version"}, mark);
}

void Driver::media_key() {
    const auto mark = proxy_.count();
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_MEDIA_NEXT_TRACK;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    wait_for(proxy_, mark, 2);
    expect_requests("the next-track key (SendInput, through the hook)", {"/next", "/title"}, mark);
}

void Driver::exit_saves() {
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(IDOK)));
    // The end waits for the feed's threads; under wine one that left a server whose long-poll
    // is still held ends only with that request (at most 25 s): wine's WinInet cannot cancel it.
    const bool ended = WaitForSingleObject(process_.hProcess, 40000) == WAIT_OBJECT_0;
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    check(ended && code == 0, "Exit ends the program with status 0");
    check(setting("Server1").ends_with("/"), "Server1 was saved with its slash",
          setting("Server1"));
    const auto all = proxy_.targets();
    check(std::none_of(all.begin(), all.end(),
                       [](const std::string& target) { return target.starts_with("/api/"); }),
          "a server without the state API never got an API request");
    check(setting("CurrentServer") == "1" && setting("OSDDuration") == "30" &&
              setting("MRUFilterSize") == "10",
          "Exit saved every setting");
}

}  // namespace dravo::test
