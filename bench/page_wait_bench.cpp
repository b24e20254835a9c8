// The page's long-polls against the real host: /status from one client, first alone, then
// while the most waiting requests allowed (64) wait and 1,000 more keep trying (each asks again
// 250 ms after its answer, as the page's first retry does), so the server keeps answering the
// oldest and evicting for room. Targets: /status at least 0.8 of its rate alone; the host's
// resident memory grows by at most 10 MB. Floor: the same crowd asking for /version, which
// shows what the connections alone cost on this machine (both ends share its cores).
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
#include <iterator>
#include <sstream>
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
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// CPU seconds a process has used (user and system).
double cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close_paren = text.rfind(')');
    if (close_paren == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close_paren + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) {
        fields >> skip;  // state .. cmajflt
    }
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
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
    if (bad) {
        std::printf("  (%ld wrong /status answers)\n", bad);
    }
    return static_cast<double>(done) / std::chrono::duration<double>(Clock::now() - start).count();
}

// One trying page: connecting, waiting for its answer, or pausing before the next try.
struct Waiter {
    int fd = -1;
    bool sent = false;
    Clock::time_point next_try;
};

int connect_nonblocking(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

// Keeps kWaiters clients asking for target until stop, all from one thread; counts the answers.
void keep_trying(int port, const std::string& target, const std::atomic<bool>& stop,
                 std::atomic<long>& answers) {
    const std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
    std::vector<Waiter> waiters(kWaiters);
    std::vector<pollfd> fds;
    std::vector<Waiter*> owners;
    char buffer[4096];
    while (!stop) {
        const auto now = Clock::now();
        fds.clear();
        owners.clear();
        for (auto& w : waiters) {
            if (w.fd < 0 && now >= w.next_try) {
                w.fd = connect_nonblocking(port);
                w.sent = false;
            }
            if (w.fd < 0) {
                continue;
            }
            fds.push_back({w.fd, static_cast<short>(w.sent ? POLLIN : POLLOUT), 0});
            owners.push_back(&w);
        }
        poll(fds.data(), fds.size(), 20);
        for (std::size_t i = 0; i < fds.size(); ++i) {
            Waiter& w = *owners[i];
            if (fds[i].revents == 0) {
                continue;
            }
            bool done = (fds[i].revents & (POLLERR | POLLHUP)) != 0 && !(fds[i].revents & POLLIN);
            if (!done && !w.sent) {
                done = send(w.fd, request.data(), request.size(), MSG_NOSIGNAL) < 0;
                w.sent = !done;
            } else if (!done) {
                const long n = recv(w.fd, buffer, sizeof buffer, MSG_DONTWAIT);
                done = n == 0 || (n < 0 && errno != EAGAIN);
                if (n == 0) {
                    ++answers;  // the answer is complete (a reset counts as a failure)
                }
            }
            if (!done) {
                continue;
            }
            close(w.fd);
            w.fd = -1;
            w.next_try = Clock::now() + kRetry;
        }
    }
    for (auto& w : waiters) {
        if (w.fd >= 0) {
            close(w.fd);
        }
    }
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
    work.write("plugins/gen_dravo_srv.ini", "[Settings]\r\nport=" + std::to_string(port) +
                                                "\r\nmedia_root=" + work.path() + "\r\n");
    std::ofstream list(work.file("list.m3u"));
    for (int i = 0; i < 1000; ++i) {
        list << "/srv/music/Track " << i << ".mp3\n";
    }
    list.close();
    dravo::test::HostProcess host(
        {"--plugins", work.file("plugins"), "--audio-output", "null", "--state-dir",
         work.file("state"), "--clear", "--add", work.file("list.m3u")},
        {"TMP=" + work.path()}, work.file("stderr.txt"));
    if (!host.running() || !dravo::test::wait_for_port(port, 30000)) {
        std::fprintf(stderr, "player_host did not start\n");
        return 1;
    }
    std::printf("real player_host, null audio; %d long-polls (64 may wait), %.0f s per phase\n",
                kWaiters, seconds);
    const long memory_before = resident_kb(host.pid());
    const double alone = status_rate(port, seconds);
    // Phase: the same crowd asking for /version instead (the cost of the connections alone), then
    // asking for the next change.
    struct Phase {
        const char* target;
        double rate = 0;
        long answers = 0;
        long memory_kb = 0;
        double host_cpu = 0;
    } phases[] = {{"/version"}, {"/api/wait?since=1"}};
    for (Phase& phase : phases) {
        std::atomic<bool> stop{false};
        std::atomic<long> answers{0};
        std::thread crowd([&] { keep_trying(port, phase.target, stop, answers); });
        std::this_thread::sleep_for(std::chrono::seconds(1));  // every client has tried once
        phase.memory_kb = resident_kb(host.pid());
        const double cpu_before = cpu_seconds(host.pid());
        phase.rate = status_rate(port, seconds);
        phase.host_cpu = (cpu_seconds(host.pid()) - cpu_before) / seconds;
        phase.memory_kb = std::max(phase.memory_kb, resident_kb(host.pid()));
        stop = true;
        crowd.join();
        phase.answers = answers.load();
    }
    const double floor_ratio = phases[0].rate / alone;
    const double ratio = phases[1].rate / alone;
    const double growth_mb = static_cast<double>(phases[1].memory_kb - memory_before) / 1024.0;
    std::printf("/status alone:                        %8.0f /s\n", alone);
    std::printf(
        "/status, crowd asking /version (floor): %6.0f /s  ratio %.2f  (%ld answers, host "
        "%.0f%% of a core)\n",
        phases[0].rate, floor_ratio, phases[0].answers, 100 * phases[0].host_cpu);
    std::printf(
        "/status, crowd of long-polls:         %8.0f /s  ratio %.2f (target >= 0.80) %s  "
        "(%ld answers, host %.0f%% of a core)\n",
        phases[1].rate, ratio, ratio >= 0.8 ? "ok" : "MISSED", phases[1].answers,
        100 * phases[1].host_cpu);
    std::printf("host memory growth:                   %8.1f MB (target <= 10) %s\n", growth_mb,
                growth_mb <= 10 ? "ok" : "MISSED");
    dravo::test::get(port, "/shutdown");
    host.wait_exit(std::chrono::seconds(10));
    return 0;
}
