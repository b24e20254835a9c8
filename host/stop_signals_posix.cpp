#include <csignal>

#include <atomic>

#include "stop_signals.h"

namespace dravo {

namespace {

std::atomic<bool> g_stop_requested{false};
std::atomic<const Waker*> g_waker{nullptr};

extern "C" void on_stop_signal(int /*signal*/) {
    g_stop_requested.store(true);
    if (const Waker* waker = g_waker.load(); waker != nullptr) {
        waker->wake();
    }
}

}  // namespace

void install_stop_signals(const Waker& waker) {
    g_waker.store(&waker);
    struct sigaction action {};
    action.sa_handler = &on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A plug-in writing to a connection its peer closed must not end the player.
    signal(SIGPIPE, SIG_IGN);
}

bool stop_signal_received() { return g_stop_requested.load(); }

}  // namespace dravo
