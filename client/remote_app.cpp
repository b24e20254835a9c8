#include "remote_app.h"

#include <QApplication>
#include <QSocketNotifier>

#include "client_settings.h"
#include "session_feed_qt.h"
#include "lost_display.h"
#include "osd_window.h"
#include "quit_signals.h"
#include "remote_dialog.h"
#include "request_runner_qt.h"

namespace dravo {

RemoteApp::RemoteApp(ClientSettings& settings, std::string command_line)
    : settings_(settings), command_line_(std::move(command_line)) {}

int RemoteApp::run() {
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides; only Exit ends
    const int quit_fd = install_quit_signals();
    if (const auto file = settings_file_from_command_line(command_line_)) {
        settings_.file_name = *file;
    }
    settings_.load_and_correct();

    EventLoopRunner runner;
    OsdWindow osd;
    RemoteDialog dialog(settings_, osd, runner);
    bool ended = false;
    dialog.set_on_end([&ended] {
        ended = true;
        QCoreApplication::exit(0);  // does nothing before the loop runs, hence the flag
    });
    std::unique_ptr<QSocketNotifier> quit_notifier;
    if (quit_fd >= 0) {
        quit_notifier = std::make_unique<QSocketNotifier>(quit_fd, QSocketNotifier::Read);
        QObject::connect(quit_notifier.get(), &QSocketNotifier::activated, &dialog,
                         [&dialog, quit_fd] {
                             drain_quit_signals(quit_fd);
                             dialog.end();
                         });
    }
    dialog.start_up(keys_);
    const auto feed = start_session_feed(dialog);  // the server's pushes, where it offers them
    // A logout may take the display away first: that ends the program in order too. Made after
    // the start-up, so its exit hook runs before the destructors of what the start-up made.
    const EndOnLostDisplay lost_display([&dialog] { dialog.shut_down(); });
    const int status = ended ? 0 : QApplication::exec();
    dialog.shut_down();  // when something else ended the loop
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
