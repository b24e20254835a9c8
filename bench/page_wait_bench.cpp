// The page's long-polls against the real host: /status from one client, first alone, then
// while the most waiting requests allowed (64) wait and 1,000 more keep trying (each asks again
// 250 ms after its answer, as the page's first retry does), so the server keeps answering the
// oldest and evicting for room. Targets: /status at least 0.8 of its rate alone; the host's
// resident memory grows by at most 10 MB. Floor: the rate alone, in the same run.
// Usage: dravo_page_wait_bench [seconds per phase, default 5]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host_process.h"
#include "loopback_client.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWaiters = 64 + 1000;
constexpr auto kRetry = std::chrono::milliseconds(250);

long resident_kb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

double status_rate(int port, double seconds) {
    const std::string expected = dravo::test::header_bytes() + "playing:";
    long done = 0, bad = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        auto answer = dravo::test::get(port, "/status");
        (answer && answer->rfind(expected, 0) == 0) ? ++done : ++bad;
    }
    if (bad) std::printf("  (%ld wrong /status answers)\n", bad);
    return static_cast<double>(done) / std::chrono::duration<double>(Clock::now() - start).count();
}

// One trying page: a socket, or a pause before the next try.
struct Waiter {
    int fd = -1;
    Clock::time_point next_try;
};

int open_wait(int port, const std::string& request) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    pollfd writable{fd, POLLOUT, 0};
    poll(&writable, 1, 1000);
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Keeps kWaiters long-polls going until stop; counts the answers.
void keep_waiting(int port, const std::atomic<bool>& stop, std::atomic<long>& answers) {
    const std::string request = "GET /api/wait?since=1 HTTP/1.0\r\n\r\n";
    std::vector<Waiter> waiters(kWaiters);
    std::vector<pollfd> fds;
    char buffer[4096];
    while (!stop) {
        const auto now = Clock::now();
        fds.clear();
        for (auto& w : waiters) {
            if (w.fd < 0 && now >= w.next_try) w.fd = open_wait(port, request);
            if (w.fd >= 0) fds.push_back({w.fd, POLLIN, 0});
        }
        poll(fds.data(), fds.size(), 20);
        for (auto& w : waiters) {
            if (w.fd < 0) continue;
            long n = recv(w.fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0 || (n < 0 && errno == EAGAIN)) continue;
            close(w.fd);  // the answer is complete (or the server reset it)
            w.fd = -1;
            w.next_try = Clock::now() + kRetry;
            ++answers;
        }
    }
    for (auto& w : waiters)
        if (w.fd >= 0) close(w.fd);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 4096);
    setrlimit(RLIMIT_NOFILE, &limit);

    dravo::test::TempDir work;
    std::filesystem::create_directories(work.file("plugins"));
    std::filesystem::copy_file(DRAVO_PLUGIN_PATH, work.file("plugins/gen_dravo_srv.so"));
    const int port = dravo::test::free_port();
    work.write("plugins/gen_dravo_srv.ini",
               "[Settings]\r\nport=" + std::to_string(port) + "\r\nmedia_root=" + work.path() + "\r\n");
    std::ofstream list(work.file("list.m3u"));
    for (int i = 0; i < 1000; ++i) list << "/srv/music/Track " << i << ".mp3\n";
    list.close();
    dravo::test::HostProcess host({"--plugins", work.file("plugins"), "--audio-output", "null",
                                   "--state-dir", work.file("state"), "--clear", "--add",
                                   work.file("list.m3u")},
                                  {"TMP=" + work.path()}, work.file("stderr.txt"));
    if (!host.running() || !dravo::test::wait_for_port(port, 30000)) {
        std::fprintf(stderr, "player_host did not start\n");
        return 1;
    }
    std::printf("real player_host, null audio; %d long-polls (64 may wait), %.0f s per phase\n",
                kWaiters, seconds);
    const long memory_before = resident_kb(host.pid());
    const double alone = status_rate(port, seconds);
    std::atomic<bool> stop{false};
    std::atomic<long> answers{0};
    std::thread waiting([&] { keep_waiting(port, stop, answers); });
    std::this_thread::sleep_for(std::chrono::seconds(1));  // every waiter has tried once
    long memory_peak = resident_kb(host.pid());
    const double busy = status_rate(port, seconds);
    memory_peak = std::max(memory_peak, resident_kb(host.pid()));
    stop = true;
    waiting.join();
    const double ratio = busy / alone;
    const double growth_mb = static_cast<double>(memory_peak - memory_before) / 1024.0;
    std::printf("/status alone (floor): %8.0f /s\n", alone);
    std::printf("/status while waiting: %8.0f /s  ratio %.2f (target >= 0.80) %s\n", busy, ratio,
                ratio >= 0.8 ? "ok" : "MISSED");
    std::printf("long-polls answered:   %8ld (%.0f /s)\n", answers.load(),
                static_cast<double>(answers.load()) / (seconds + 1));
    std::printf("host memory growth:    %8.1f MB (target <= 10) %s\n", growth_mb,
                growth_mb <= 10 ? "ok" : "MISSED");
    dravo::test::get(port, "/shutdown");
    host.wait_exit(std::chrono::seconds(10));
    return 0;
}
