#pragma once
// The Windows client assembled: owns the on-screen display, the main window, the tray icon, the
// session, the media keys, the Server button's menu with its browser, the feed of the server's
// pushed state and the ClientLifecycle that runs them in order, and is the lifecycle's loop:
// window timers on the main window and the thread's message loop. Requests block the
// user-interface thread (BlockingRunner); the feed alone waits on a thread of its own and hands
// what it learns to the window as posted tasks.
// Construct, run and destroy on the program's one thread. run() gives the exit status; the
// window that cannot be made is the one failure (status 1, nothing started).
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "client_lifecycle.h"
#include "client_shell.h"
#include "media_key_hook_windows.h"
#include "osd_window_windows.h"
#include "remote_dialog_win32.h"
#include "remote_session.h"
#include "server_menu.h"
#include "service_browser.h"
#include "session_feed.h"
#include "tray_icon_windows.h"

namespace dravo {

class ClientSettings;
class RequestRunner;

class RemoteAppWin32 final : private ClientLoop {
public:
    // settings are loaded already.
    RemoteAppWin32(ClientSettings& settings, RequestRunner& runner);
    ~RemoteAppWin32() override;

    // Start-up, the message loop until the program ends, the shutdown.
    int run();

private:
    // ClientLoop
    void start_timer(ClientTimer timer, int period_ms) override;
    void stop_timer(ClientTimer timer) override;
    void call_later(int ms, std::function<void()> call) override;
    void end_loop() override;
    void timer_fired(UINT_PTR id);
    // Any thread: queues the task and wakes the window, which runs it (run_posted_tasks).
    void post_task(StateFeed::Task task);
    void run_posted_tasks();

    OsdWindow osd_;
    RemoteDialogWin32 dialog_;
    TrayIconWin32 tray_;
    RemoteSession session_;
    MediaKeyHookWindows keys_;
    ClientLifecycle lifecycle_;
    std::unique_ptr<ServiceBrowser> browser_;
    ServerMenu server_menu_;
    std::map<UINT_PTR, std::function<void()>> later_;  // call_later's, by timer id
    UINT_PTR next_later_ = 100;
    bool ended_ = false;
    std::mutex tasks_mutex_;
    std::vector<StateFeed::Task> tasks_;  // guarded by tasks_mutex_
    std::unique_ptr<SessionFeed> feed_;   // last: its end joins the thread that posts
};

}  // namespace dravo
