#include "remote_app.h"

#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>

#include "client_settings.h"
#include "lost_display.h"
#include "program_icon.h"
#include "quit_signals.h"
#include "request_runner_qt.h"
#include "server_menu_qt.h"
#include "session_feed_qt.h"
#include "service_browser.h"

namespace dravo {

RemoteApp::RemoteApp(ClientSettings& settings, RequestRunner& runner, SessionOptions options,
                     SleepTimer::Clock clock)
    : settings_(settings), dialog_(settings),
      tray_(program_icon(), [this](TrayClick click) { lifecycle_.tray_clicked(click); }),
      session_(settings, dialog_, runner, std::move(options)),
      lifecycle_(settings, session_, dialog_, {osd_, tray_, *this, *this}, std::move(clock)) {
    dialog_.attach(session_, lifecycle_, tray_, osd_);
    QObject::connect(&status_, &QTimer::timeout, &dialog_,
                     [this] { lifecycle_.timer_fired(ClientTimer::status); });
    sleep_.setSingleShot(true);
    QObject::connect(&sleep_, &QTimer::timeout, &dialog_,
                     [this] { lifecycle_.timer_fired(ClientTimer::sleep); });
}

RemoteApp::~RemoteApp() = default;

void RemoteApp::start_timer(ClientTimer which, int period_ms) { timer(which).start(period_ms); }

void RemoteApp::stop_timer(ClientTimer which) { timer(which).stop(); }

void RemoteApp::call_later(int ms, std::function<void()> call) {
    QTimer::singleShot(ms, &dialog_, std::move(call));
}

void RemoteApp::end_loop() {
    dialog_.hide_for_good();
    if (on_end_) {
        on_end_();
    }
}

void RemoteApp::set_service_browser(std::unique_ptr<ServiceBrowser> browser) {
    browser_ = std::move(browser);
    browser_->start();
    attach_server_menu(*dialog_.findChild<QPushButton*>("server"), settings_, session_, *browser_);
}

void RemoteApp::follow_pushes() { feed_ = start_session_feed(dialog_, session_); }

void RemoteApp::register_actions() {
    if (keys_) {
        keys_->register_actions();
    }
}

void RemoteApp::remove() {
    if (keys_) {
        keys_->remove();
    }
}

int run_client(ClientSettings& settings, const std::string& command_line,
               const RemoteApp::KeyHookMaker& make_keys) {
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides; only Exit ends
    const int quit_fd = install_quit_signals();
    if (const auto file = settings_file_from_command_line(command_line)) {
        settings.file_name = *file;
    }
    settings.load_and_correct();

    EventLoopRunner runner;
    RemoteApp app(settings, runner);
    bool ended = false;
    app.set_on_end([&ended] {
        ended = true;
        QCoreApplication::exit(0);  // does nothing before the loop runs, hence the flag
    });
    if (make_keys) {
        app.set_key_hook(make_keys(app));
    }
    app.set_service_browser(make_service_browser());
    std::unique_ptr<QSocketNotifier> quit_notifier;
    if (quit_fd >= 0) {
        quit_notifier = std::make_unique<QSocketNotifier>(quit_fd, QSocketNotifier::Read);
        QObject::connect(quit_notifier.get(), &QSocketNotifier::activated, &app.dialog(),
                         [&app, quit_fd] {
                             drain_quit_signals(quit_fd);
                             app.lifecycle().end();
                         });
    }
    {
        // A logout in the middle of the start-up (its requests keep the event loop running):
        // the settings are saved; what the start-up made may be gone by then.
        const EndOnLostDisplay early_loss([&settings] { settings.save_to_file(); });
        app.start_up();
        app.follow_pushes();  // the server's pushes, where it offers them
    }
    // A logout may take the display away first: that ends the program in order too. Made after
    // the start-up, so its exit hook runs before the destructors of what the start-up made.
    const EndOnLostDisplay lost_display([&app] { app.lifecycle().shut_down(); });
    const int status = ended ? 0 : QApplication::exec();
    app.lifecycle().shut_down();  // when something else ended the loop
    return status;
}

const char* usage_text() {
    return "Usage: dravo [/i SETTINGS-FILE]\n"
           "A remote control for a music player, living in the notification area.\n"
           "  /i FILE   read and save the settings in FILE instead of the default\n"
           "            ($XDG_CONFIG_HOME/dravo/dravo.ini or ~/.config/dravo/dravo.ini);\n"
           "            a name without \"/\" is taken from the current folder\n"
           "  --autostart on|off\n"
           "            start at login or no longer (~/.config/autostart/dravo.desktop)\n"
           "  --help    print this text and exit\n"
           "Right-click the tray icon to bring the window up; left-click it to show the title.\n";
}

}  // namespace dravo
