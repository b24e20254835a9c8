// Round-trip times of /status while 1,000 connections stay open without sending a byte and one
// client never reads its answer to /list over a 50,000-entry playlist of long file names.
// Two runs: the server's own limits (it keeps at most 256 connections and drops a client silent
// for 2 s), and limits raised so that all 1,000 stay in its readiness loop the whole time.
// Each run measures for a few seconds, long enough to take in the moment the server drops the
// silent connections. Target: p99 at most 50 ms.
// Usage: dravo_held_connections_bench [seconds per run, default 3]
#include <sys/ioctl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "command_server.h"
#include "loopback_client.h"
#include "net_socket.h"
#include "server_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using dravo::net::Connection;

constexpr int kHeld = 1000;
constexpr std::size_t kPlaylist = 50000;

// Both ends of every connection live in this process.
void raise_file_limit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return;
    }
    const rlim_t wanted = 2 * kHeld + 256;
    if (limit.rlim_cur >= wanted) {
        return;
    }
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
    setrlimit(RLIMIT_NOFILE, &limit);
}

std::vector<std::string> long_names() {
    std::vector<std::string> names;
    names.reserve(kPlaylist);
    for (std::size_t i = 0; i < kPlaylist; ++i) {
        names.push_back("/srv/music/" + std::string(120, 'a' + static_cast<char>(i % 26)) + "/" +
                        std::to_string(i) + std::string(160, 'x') + ".mp3");
    }
    return names;
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The round trip of one /status on a fresh connection; negative when the answer was wrong.
double status_round_trip(int port) {
    const auto start = Clock::now();
    auto answer = dravo::test::get(port, "/status");
    const double ms = ms_since(start);
    const std::string& header = dravo::test::header_bytes();
    bool right = answer && answer->compare(0, header.size(), header) == 0 &&
                 answer->find("filter: ") != std::string::npos;
    return right ? ms : -1;
}

// Held connections the server has closed (they read as an end of stream or an error).
int closed_by_server(std::vector<Connection>& held) {
    int closed = 0;
    char byte = 0;
    for (auto& c : held) {
        long n = c.receive(&byte, 1);
        if (n == 0 || (n < 0 && c.last_error() != dravo::net::kWouldBlock)) {
            ++closed;
        }
    }
    return closed;
}

// Answer bytes the /list client has left unread in its receive queue.
long unread_bytes(Connection& c) {
    int bytes = 0;
    return ioctl(static_cast<int>(c.handle()), FIONREAD, &bytes) == 0 ? bytes : -1;
}

void run(const char* name, dravo::ServerLimits limits, double seconds) {
    dravo::test::ServerFixture server(limits);
    server.host.files = long_names();
    const int port = server.port();

    std::vector<Connection> held;
    const auto connect_start = Clock::now();
    // Beyond the listener's accept queue the kernel drops handshakes and the client retries a
    // second later: connect in groups the server keeps up with.
    for (int i = 0; i < kHeld; ++i) {
        if (auto c = dravo::test::connect_loopback(port, 5000)) {
            held.push_back(std::move(*c));
        }
        if (i % 50 == 49) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    const double connect_ms = ms_since(connect_start);

    auto stalled = dravo::test::connect_loopback(port, 5000);
    const std::string list_request = "GET /list HTTP/1.0\r\n\r\n";
    if (!stalled || stalled->send(list_request.data(), list_request.size()) < 0) {
        std::printf("%s: the /list client could not connect\n", name);
        return;
    }
    // The first /status waits for the /list command itself, which runs before it.
    const double first_ms = status_round_trip(port);

    std::vector<double> times;
    int wrong = 0;
    const auto start = Clock::now();
    int requests = 0;
    for (; ms_since(start) < seconds * 1000; ++requests) {
        double ms = status_round_trip(port);
        if (ms < 0) {
            ++wrong;
        } else {
            times.push_back(ms);
        }
    }
    const double total_ms = ms_since(start);
    std::sort(times.begin(), times.end());
    auto at = [&](double q) {
        if (times.empty()) {
            return -1.0;
        }
        return times[std::min(times.size() - 1,
                              static_cast<std::size_t>(q * static_cast<double>(times.size())))];
    };
    std::printf("%s\n", name);
    std::printf("  %zu of %d silent connections opened in %.0f ms; the server closed %d of them\n",
                held.size(), kHeld, connect_ms, closed_by_server(held));
    std::printf("  first /status after /list (waits for the list command): %.1f ms\n", first_ms);
    std::printf("  the /list client has %ld answer bytes unread\n", unread_bytes(*stalled));
    std::printf(
        "  %d /status in %.0f ms: p50 %.2f ms, p99 %.2f ms, max %.2f ms, wrong %d -> "
        "p99 target 50 ms %s\n",
        requests, total_ms, at(0.50), at(0.99), times.empty() ? -1.0 : times.back(), wrong,
        at(0.99) >= 0 && at(0.99) <= 50 && wrong == 0 ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(0.1, std::atof(argv[1])) : 3.0;
    raise_file_limit();
    run("Server limits (256 connections, 2 s read idle, 5 s send stall):", dravo::ServerLimits{},
        seconds);
    dravo::ServerLimits all_held;
    all_held.max_connections = 2 * kHeld;
    all_held.read_idle_ms = 60000;
    all_held.send_stall_ms = 60000;
    run("All held (limits raised: 2,000 connections, 60 s read idle and send stall):", all_held,
        seconds);
    return 0;
}
