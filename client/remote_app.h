#pragma once
// The client program assembled: RemoteApp owns the session, the main window, the on-screen
// display, the tray icon, the window timers, the media keys, the network's server browser and
// the feed of the server's pushed state, and wires them in the order the ClientLifecycle runs
// them. The window only shows state and forwards input.
// run_client() is the whole program after the QApplication: the command line (" /i file"), the
// settings, start-up, the event loop until Exit, a quit signal (SIGTERM, SIGINT), a started update
// or a lost display (logout, see lost_display.h) ends it, and the shutdown.
// Construct, call and destroy on the main thread after the QApplication. Nothing fails: what
// cannot start is told by the start-up and skipped.
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "client_lifecycle.h"
#include "client_shell.h"
#include "osd_window.h"
#include "remote_dialog.h"
#include "remote_session.h"
#include "tray_icon.h"

namespace dravo {

class ClientSettings;
class RequestRunner;
class ServiceBrowser;
class SessionFeed;

class RemoteApp : private ClientLoop, private KeyHook {
public:
    using KeyHookMaker = std::function<std::unique_ptr<KeyHook>(RemoteApp&)>;

    // settings are loaded already; runner carries the session's requests.
    RemoteApp(ClientSettings& settings, RequestRunner& runner, SessionOptions options = {},
              SleepTimer::Clock clock = steady_clock_ms);
    ~RemoteApp() override;

    // The media keys, made before the start-up (none: the program runs without them).
    void set_key_hook(std::unique_ptr<KeyHook> keys) { keys_ = std::move(keys); }
    // The servers found on the network, started and offered in the Server button's menu.
    void set_service_browser(std::unique_ptr<ServiceBrowser> browser);
    void start_up() { lifecycle_.start_up(); }
    // After the start-up: the server's pushed state refreshes the window at once where the
    // server offers it (a probe that an older server does not notice).
    void follow_pushes();
    // Called once the loop should end (after the shutdown).
    void set_on_end(std::function<void()> on_end) { on_end_ = std::move(on_end); }

    RemoteSession& session() { return session_; }
    RemoteDialog& dialog() { return dialog_; }
    ClientLifecycle& lifecycle() { return lifecycle_; }
    const TrayIcon& tray() const { return tray_; }
    OsdWindow& osd() { return osd_; }

private:
    // ClientLoop
    void start_timer(ClientTimer timer, int period_ms) override;
    void stop_timer(ClientTimer timer) override;
    void call_later(int ms, std::function<void()> call) override;
    void end_loop() override;
    // KeyHook: the one set_key_hook() gave, if any.
    bool install() override { return !keys_ || keys_->install(); }
    void register_actions() override;
    void remove() override;

    QTimer& timer(ClientTimer which) { return which == ClientTimer::status ? status_ : sleep_; }

    ClientSettings& settings_;
    std::unique_ptr<ServiceBrowser> browser_;  // outlives the window's menu
    OsdWindow osd_;
    RemoteDialog dialog_;
    TrayIcon tray_;
    RemoteSession session_;
    std::unique_ptr<KeyHook> keys_;
    std::unique_ptr<SessionFeed> feed_;
    QTimer status_;
    QTimer sleep_;
    ClientLifecycle lifecycle_;
    std::function<void()> on_end_;
};

// The program: settings file from the command line, settings loaded, the app with the media keys
// make_keys gives, the loop. Gives the exit status.
int run_client(ClientSettings& settings, const std::string& command_line,
               const RemoteApp::KeyHookMaker& make_keys);

// Usage text for --help.
const char* usage_text();

}  // namespace dravo
