// Test driver, not the product: a client session with a stand-in window and the media-key
// service, for the desktop tests. Usage: media_key_driver <server base URL>
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
#include "media_key_service.h"
#include "remote_session.h"
#include "remote_view.h"
#include "request_runner_qt.h"

namespace {

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class PrintingView final : public dravo::RemoteView {
public:
    void set_window_text(const std::string& text) override { say("view window:" + text); }
    void set_now_playing(const std::string& text) override { say("view label:" + text); }
    void set_tray_tip(const std::string& text) override { say("view tip:" + text); }
    void show_osd(const std::string& text) override { say("view osd:" + text); }
    void set_volume_slider(int position) override {
        say("view slider:" + std::to_string(position));
    }
    void set_shuffle_box(dravo::ShuffleBox state) override {
        say(state == dravo::ShuffleBox::checked ? "view box:on" : "view box:off");
    }
    void make_shuffle_box_two_state() override {}
    void show_track_rows(const dravo::TrackList&) override {}
    void select_track_row(std::optional<std::size_t>) override {}
    std::optional<std::size_t> selected_track_row() const override { return std::nullopt; }
    std::string search_text() const override { return {}; }
    void set_search_text(const std::string&) override {}
    void focus_search() override {}
    std::string filter_text() const override { return {}; }
    void set_filter_text(const std::string&) override {}
    void show_message(const std::string& text) override { say("view message:" + text); }
    void show_error(const std::string& text) override { say("view error:" + text); }
    void quit() override { QCoreApplication::quit(); }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <server base URL>\n", argv[0]);
        return 2;
    }
    dravo::ClientSettings settings("");
    settings.servers = {argv[1]};
    PrintingView view;
    dravo::EventLoopRunner runner;
    dravo::RemoteSession session(settings, view, runner);
    dravo::MediaKeyService keys(session, view, [] { say("view show_at_cursor"); });
    const bool installed = keys.start();
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
