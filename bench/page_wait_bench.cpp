// The page's long-polls against the real host: /status from one client, first alone, then
// while the most waiting requests allowed (64) wait and 1,000 more keep trying (each asks again
// 250 ms after its answer, as the page's first retry does, for the revision it last saw, so each
// request is held), so the server keeps answering the oldest and evicting for room. Targets:
// /status at least 0.8 of its rate alone; the host's resident memory grows by at most 10 MB.
// Floor: the same crowd asking for /version, which shows what the connections alone cost on this
// machine (both ends share its cores: the host's and the benchmark's CPU shares are printed,
// with the /status answers that were wrong or took a second, a dropped SYN's retry).
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

// /status asked again and again by one client: the rate of right answers, and what went wrong.
struct StatusRun {
    double rate = 0;
    long wrong = 0;  // mostly closed without an answer
    long slow = 0;   // took a second or more: a SYN dropped and sent again
    double slowest_ms = 0;
};

StatusRun status_rate(int port, double seconds) {
    const std::string expected = dravo::test::header_bytes() + "playing:";
    StatusRun run;
    long done = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const auto asked = Clock::now();
        auto answer = dravo::test::get(port, "/status");
        (answer && answer->rfind(expected, 0) == 0) ? ++done : ++run.wrong;
        const std::chrono::duration<double, std::milli> took = Clock::now() - asked;
        run.slowest_ms = std::max(run.slowest_ms, took.count());
        run.slow += took >= std::chrono::seconds(1);
    }
    run.rate =
        static_cast<double>(done) / std::chrono::duration<double>(Clock::now() - start).count();
    return run;
}

// One trying page: connecting, waiting for its answer, or pausing before the next try.
struct Waiter {
    int fd = -1;
    bool sent = false;
    bool got = false;  // some of the answer came
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

// The revision in a state answer ("rev":N), or 0.
std::uint64_t revision_in(const std::string& answer) {
    const auto at = answer.find("\"rev\":");
    return at == std::string::npos ? 0 : std::strtoull(answer.c_str() + at + 6, nullptr, 10);
}

// What the crowd got: whole answers, and closes without a byte (room made for others).
struct CrowdCount {
    std::atomic<long> answers{0};
    std::atomic<long> empty{0};
};

// Keeps kWaiters clients asking for target until stop, all from one thread; counts the answers.
// A target ending in "since=" gets the latest revision seen, as the page asks.
void keep_trying(int port, const std::string& target, const std::atomic<bool>& stop,
                 CrowdCount& count) {
    const bool waits = target.ends_with("since=");
    std::uint64_t since =
        waits ? revision_in(dravo::test::get(port, "/api/state").value_or("")) : 0;
    std::string request;
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
                w.got = false;
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
                request =
                    "GET " + target + (waits ? std::to_string(since) : "") + " HTTP/1.0\r\n\r\n";
                done = send(w.fd, request.data(), request.size(), MSG_NOSIGNAL) < 0;
                w.sent = !done;
            } else if (!done) {
                const long n = recv(w.fd, buffer, sizeof buffer, MSG_DONTWAIT);
                done = n == 0 || (n < 0 && errno != EAGAIN);
                if (waits && n > 0) {
                    since = std::max(since, revision_in(std::string(buffer, n)));
                }
                w.got = w.got || n > 0;
                if (n == 0) {
                    // The answer is complete (a reset counts as a failure).
                    ++(w.got ? count.answers : count.empty);
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
    // /status alone, then with the crowd asking for /version (the cost of the connections
    // alone), then with the crowd asking for the next change, then alone again: the machine is
    // shared, so the rate alone is the mean of the first and the last phase.
    struct Phase {
        const char* name;
        const char* target;
        StatusRun status;
        long answers = 0;
        long empty = 0;
        long memory_kb = 0;
        double host_cpu = 0;
        double bench_cpu = 0;
    } phases[] = {{"alone", nullptr, {}},
                  {"crowd asking /version (floor)", "/version", {}},
                  {"crowd of long-polls", "/api/wait?since=", {}},
                  {"alone again", nullptr, {}}};
    for (Phase& phase : phases) {
        std::atomic<bool> stop{false};
        CrowdCount count;
        std::thread crowd;
        if (phase.target) {
            crowd = std::thread([&] { keep_trying(port, phase.target, stop, count); });
            std::this_thread::sleep_for(std::chrono::seconds(1));  // every client has tried once
        }
        phase.memory_kb = resident_kb(host.pid());
        const double cpu_before = cpu_seconds(host.pid());
        const double own_before = cpu_seconds(getpid());
        phase.status = status_rate(port, seconds);
        phase.host_cpu = (cpu_seconds(host.pid()) - cpu_before) / seconds;
        phase.bench_cpu = (cpu_seconds(getpid()) - own_before) / seconds;
        phase.memory_kb = std::max(phase.memory_kb, resident_kb(host.pid()));
        stop = true;
        if (crowd.joinable()) {
            crowd.join();
        }
        phase.answers = count.answers;
        phase.empty = count.empty;
    }
    const double alone = (phases[0].status.rate + phases[3].status.rate) / 2;
    // wrong: /status answers that were not right; >=1s: /status that took a second or more;
    // answers, empty: the crowd's whole answers and its closes without a byte.
    std::printf("%-30s %9s %6s %6s %5s %8s %8s %6s %5s %6s\n", "phase", "/status/s", "ratio",
                "wrong", ">=1s", "slowest", "answers", "empty", "host", "bench");
    for (const Phase& phase : phases) {
        std::printf("%-30s %9.0f %6.2f %6ld %5ld %6.0fms %8ld %6ld %4.0f%% %5.0f%%\n", phase.name,
                    phase.status.rate, phase.status.rate / alone, phase.status.wrong,
                    phase.status.slow, phase.status.slowest_ms, phase.answers, phase.empty,
                    100 * phase.host_cpu, 100 * phase.bench_cpu);
    }
    const double ratio = phases[2].status.rate / alone;
    const double growth_mb = static_cast<double>(phases[2].memory_kb - memory_before) / 1024.0;
    std::printf(
        "long-polls: /status ratio %.2f (target >= 0.80) %s; host memory growth %.1f MB "
        "(target <= 10) %s\n",
        ratio, ratio >= 0.8 ? "ok" : "MISSED", growth_mb, growth_mb <= 10 ? "ok" : "MISSED");
    dravo::test::get(port, "/shutdown");
    host.wait_exit(std::chrono::seconds(10));
    return 0;
}
