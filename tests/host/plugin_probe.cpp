// gen_test_probe: a plug-in that watches how the host treats it. init notes its thread and
// starts a thread that sends a query over and over until quit; quit stops and joins that
// thread and writes what it saw to the file named by DRAVO_PROBE_REPORT.
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "host_window_record.h"
#include "plugin_abi.h"

namespace {

std::int32_t probe_init();
void probe_quit();

PluginRecord g_record{dravo::kPluginRecordVersion,
                      "Probe plug-in",
                      &probe_init,
                      nullptr,
                      &probe_quit,
                      nullptr,
                      nullptr};
std::thread g_sender;
std::atomic<bool> g_stop{false};
std::atomic<long> g_sends{0};
std::atomic<long> g_zero_answers{0};
bool g_init_on_main = false;
bool g_window_ok = false;
int g_quits = 0;

void send_loop(HostWindowRecord* window) {
    while (!g_stop.load()) {
        const std::intptr_t length =
            window->send(window->context, dravo::msg::user, 0, dravo::op::list_length);
        ++g_sends;
        if (length == 0) {
            ++g_zero_answers;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

std::int32_t probe_init() {
    g_init_on_main = syscall(SYS_gettid) == getpid();
    auto* window = static_cast<HostWindowRecord*>(g_record.hwndParent);
    g_window_ok = window != nullptr && window->magic == dravo::kHostWindowMagic &&
                  window->size == sizeof(HostWindowRecord);
    if (g_window_ok) {
        g_sender = std::thread(send_loop, window);
    }
    return 0;
}

void probe_quit() {
    ++g_quits;
    g_stop = true;
    if (g_sender.joinable()) {
        g_sender.join();
    }
    if (const char* report = std::getenv("DRAVO_PROBE_REPORT"); report != nullptr) {
        std::ofstream(report) << "init_on_main=" << g_init_on_main << "\nwindow_ok=" << g_window_ok
                              << "\nquit_on_main=" << (syscall(SYS_gettid) == getpid())
                              << "\nquits=" << g_quits << "\nsends=" << g_sends.load()
                              << "\nzero_answers=" << g_zero_answers.load() << "\n";
    }
}

}  // namespace

DRAVO_PLUGIN_EXPORT PluginRecord* winampGetGeneralPurposePlugin() { return &g_record; }
