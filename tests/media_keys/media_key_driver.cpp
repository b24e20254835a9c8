// Test driver, not the product: a client session with the client tests' recording window and the
// media-key service, for the desktop tests. Usage: media_key_driver <server base URL>
// Prints "started installed=<0|1> hook=<0|1> bus=<0|1> grabbed=<n> held=<n> name=<bus name>", then
// one line per window call ("view osd:Stop", "view show_at_cursor"). Reads commands from standard
// input, one a line, and prints "ok <command>" once each has run: poll (status), title (refresh the
// title), stop (take the service down), quit. The end of the input quits too.
#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "client_settings.h"
#include "client_lifecycle.h"
#include "media_key_service.h"
#include "remote_session.h"
#include "recording_view.h"
#include "request_runner_qt.h"

namespace {

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <server base URL>\n", argv[0]);
        return 2;
    }
    dravo::ClientSettings settings("");
    settings.servers = {argv[1]};
    dravo::test::RecordingView view;
    view.on_line = [](const std::string& line) { say("view " + line); };
    dravo::EventLoopRunner runner;
    dravo::RemoteSession session(settings, view, runner);
    dravo::MediaKeyService keys(session, [] { say("view show_at_cursor"); });
    // Started the way the client's start-up does, which tells a failure.
    struct ServiceHook : dravo::KeyHook {
        explicit ServiceHook(dravo::MediaKeyService& keys) : service(keys) {}
        bool install() override { return service.start(); }
        void remove() override { service.stop(); }
        dravo::MediaKeyService& service;
    } hook(keys);
    const bool installed = dravo::install_media_keys(hook, view);
    const auto& status = keys.status();
    say("started installed=" + std::to_string(installed) + " hook=" + std::to_string(status.hook) +
        " bus=" + std::to_string(status.bus) + " grabbed=" + std::to_string(status.grabbed_keys) +
        " held=" + std::to_string(status.held_keys) + " name=" + status.bus_name);

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const auto got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            const std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (command == "poll") {
                session.poll_status();
            } else if (command == "title") {
                session.refresh_title();
            } else if (command == "stop") {
                keys.stop();
            } else if (command == "quit") {
                QCoreApplication::quit();
            }
            say("ok " + command);
        }
    });
    const int code = app.exec();
    keys.stop();
    return code;
}
