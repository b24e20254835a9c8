#include "gui_run.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <clocale>
#include <iostream>

#include "gui_notice_window.h"
#include "gui_player_window.h"
#include "host_app.h"

namespace dravo {

namespace {

constexpr int kTickMs = 1000;

}  // namespace

int run_gui_host(int argc, char** argv, const HostOptions& options) {
    QApplication app(argc, argv);
    // Qt took the locale from the environment; mpv needs "C" numbers.
    std::setlocale(LC_NUMERIC, "C");
    app.setQuitOnLastWindowClosed(false);

    QPointer<PlayerWindow> window;
    HostApp host(options);
    std::string error;
    NoticeWindow notices;
    const auto show_box = [&window, &notices](const std::string& text, const std::string& caption) {
        notices.show_notice(text, caption, window.data());
    };
    if (!host.start(show_box, error)) {
        std::cerr << "player_host: " << error << "\n";
        return 1;
    }
    window = new PlayerWindow(host.core(), host.plugins());
    window->setAttribute(Qt::WA_DeleteOnClose, false);

    const auto pump = [&host, &app] {
        host.waker().clear();
        if (!host.pump()) {
            app.quit();
        }
    };
    QSocketNotifier notifier(host.waker().fd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, pump);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &app, pump);
    QObject::connect(window.data(), &PlayerWindow::close_requested, &app, pump);
    tick.start(kTickMs);
    window->show();
    QTimer::singleShot(0, &app, pump);
    app.exec();

    const int status = host.finish();
    delete window.data();
    return status;
}

}  // namespace dravo
