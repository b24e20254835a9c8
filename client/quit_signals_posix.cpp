#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include "quit_signals.h"

namespace dravo {
namespace {

int g_write_end = -1;

extern "C" void on_quit_signal(int) {
    const char byte = 1;
    // Nothing to do if the pipe is full: a quit is already waiting.
    [[maybe_unused]] const auto written = write(g_write_end, &byte, 1);
}

}  // namespace

int install_quit_signals() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    g_write_end = ends[1];
    struct sigaction action {};
    action.sa_handler = &on_quit_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a server closing early must not end the client
    return ends[0];
}

void drain_quit_signals(int fd) {
    char bytes[16];
    while (read(fd, bytes, sizeof bytes) > 0) {
    }
}

}  // namespace dravo
