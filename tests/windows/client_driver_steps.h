#pragma once
// The steps of the client driver (client_driver.cpp): one running dravo.exe, its windows found by
// their control numbers, and the checks. Driver thread only.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dravo::test {

class RecordingProxy;

class Driver {
public:
    Driver(RecordingProxy& proxy, int server_port, std::string work, std::string ini)
        : proxy_(proxy), server_port_(server_port), work_(std::move(work)), ini_(std::move(ini)) {}
    ~Driver();

    // Starts the client and waits for its window and its start-up requests.
    bool start(const std::string& command_line);
    void run_all();
    int failures() const { return failures_; }

private:
    void startup_requests();
    void next_button();
    void volume_slider();
    void shuffle_box();
    void double_click_plays();
    void filter_with_completion();
    void server_switch();
    void pushed_change();
    void server_menu();
    HWND open_server_menu();
    void pick_from_menu(HWND popup, int number);
    void sleep_dialog();
    void tray_clicks();
    void about_box();
    void media_key();
    void exit_saves();

    void check(bool good, const std::string& what, const std::string& detail = {});
    // Sends a click of control id and returns the requests it made.
    std::vector<std::string> click(int id);
    void expect_requests(const std::string& what, std::vector<std::string> expected,
                         std::size_t from);
    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    std::string text_of(HWND window) const;
    std::string setting(const std::string& key) const;
    std::string status_line(const std::string& key) const;
    void screenshot(const std::string& name);
    void post_key(HWND window, WPARAM key);

    RecordingProxy& proxy_;
    int server_port_;
    std::string work_;
    std::string ini_;
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
    int failures_ = 0;
};

// Polls done() every 20 ms until it holds (true) or timeout_ms has passed (false).
bool wait_until(const std::function<bool()>& done, DWORD timeout_ms);

// The items with a space between.
std::string joined(const std::vector<std::string>& items);

// The top-level dialog of process that holds a control numbered id; nullptr when none shows up
// within timeout_ms.
HWND find_dialog(DWORD process, int id, DWORD timeout_ms);

}  // namespace dravo::test
