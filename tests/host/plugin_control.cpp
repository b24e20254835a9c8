// gen_test_control: lets a test drive the host through the real plug-in interface. init starts
// a thread that listens on the Unix socket named by DRAVO_TEST_SOCKET and runs one command a
// line, answering one line:
//   send M W L    -> "R value"            post M W L -> "R result"
//   text OP INDEX -> "T text" or "NULL"   add PATH   -> copy-data add file, "R value"
//   box TEXT      -> message box, "R 1"   flood      -> a second thread sends without pause
// quit stops both threads (also when one is blocked in a send) and, when DRAVO_TEST_REPORT is
// set, writes "quit" there.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "host_window_record.h"
#include "plugin_abi.h"

namespace {

std::int32_t control_init();
void control_quit();

PluginRecord g_record{dravo::kPluginRecordVersion,
                      "Test control",
                      &control_init,
                      nullptr,
                      &control_quit,
                      nullptr,
                      nullptr};
std::thread g_server;
std::thread g_flood;
std::atomic<bool> g_stop{false};

HostWindowRecord* window() { return static_cast<HostWindowRecord*>(g_record.hwndParent); }

std::string run_command(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    HostWindowRecord* host = window();
    if (verb == "send" || verb == "post") {
        std::uint32_t message = 0;
        std::uintptr_t wparam = 0;
        std::intptr_t lparam = 0;
        in >> message >> wparam >> lparam;
        const std::intptr_t result = verb == "send"
                                         ? host->send(host->context, message, wparam, lparam)
                                         : host->post(host->context, message, wparam, lparam);
        return "R " + std::to_string(result);
    }
    if (verb == "text") {
        std::intptr_t operation = 0;
        std::uintptr_t index = 0;
        in >> operation >> index;
        const auto result = host->send(host->context, dravo::msg::user, index, operation);
        return result == 0 ? "NULL" : "T " + std::string(reinterpret_cast<const char*>(result));
    }
    if (verb == "add") {
        std::string path = line.substr(4);
        CopyDataRecord record{dravo::op::play_file, static_cast<std::uint32_t>(path.size() + 1),
                              path.data()};
        return "R " + std::to_string(host->send(host->context, dravo::msg::copy_data, 0,
                                                reinterpret_cast<std::intptr_t>(&record)));
    }
    if (verb == "box") {
        return "R " + std::to_string(host->message_box(host->context, line.substr(4).c_str(),
                                                       "Test control", 0));
    }
    if (verb == "flood" && !g_flood.joinable()) {
        g_flood = std::thread([host] {
            while (!g_stop.load()) {
                host->send(host->context, dravo::msg::user, 0, dravo::op::list_length);
            }
        });
        return "R 1";
    }
    return "ERR " + line;
}

// Waits for fd to become readable; false once quit asks the thread to end.
bool wait_readable(int fd) {
    while (!g_stop.load()) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 20) > 0) {
            return true;
        }
    }
    return false;
}

void serve_connection(int connection) {
    std::string buffer;
    char chunk[4096];
    while (wait_readable(connection)) {
        const ssize_t got = read(connection, chunk, sizeof chunk);
        if (got <= 0) {
            return;
        }
        buffer.append(chunk, static_cast<std::size_t>(got));
        for (auto end = buffer.find('\n'); end != std::string::npos; end = buffer.find('\n')) {
            const std::string answer = run_command(buffer.substr(0, end)) + "\n";
            buffer.erase(0, end + 1);
            if (write(connection, answer.data(), answer.size()) < 0) {
                return;
            }
        }
    }
}

void serve(std::string path) {
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    unlink(path.c_str());
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 4) != 0) {
        close(listener);
        return;
    }
    while (wait_readable(listener)) {
        const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            serve_connection(connection);
            close(connection);
        }
    }
    close(listener);
    unlink(path.c_str());
}

std::int32_t control_init() {
    const char* path = std::getenv("DRAVO_TEST_SOCKET");
    if (path == nullptr || window() == nullptr || window()->magic != dravo::kHostWindowMagic) {
        return 1;
    }
    g_server = std::thread(serve, std::string(path));
    return 0;
}

void control_quit() {
    g_stop = true;
    if (g_server.joinable()) {
        g_server.join();
    }
    if (g_flood.joinable()) {
        g_flood.join();
    }
    if (const char* report = std::getenv("DRAVO_TEST_REPORT"); report != nullptr) {
        std::ofstream(report, std::ios::app) << "quit\n";
    }
}

}  // namespace

DRAVO_PLUGIN_EXPORT PluginRecord* winampGetGeneralPurposePlugin() { return &g_record; }
