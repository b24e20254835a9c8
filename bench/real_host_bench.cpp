// The real player_host with null audio and the real plug-in, over loopback HTTP, against a
// minimal serial server written here (the floor) that answers the same bytes, in the same run:
//   1. "/status", a new connection per request, at 1 and 8 clients: rate and ratio to the floor
//      (target at least 0.80);
//   2. "/list" of a 100,000-entry playlist, request to last byte (target: at most MPD's
//      "playlist" of the same entries, measured alongside when mpd is installed; else 50 ms);
//   3. "/status" sent 0-16 ms after such a "/list" request, while its answer is made and written:
//      how long it waits (target at most 50 ms).
// "/version" (no player message) is measured alike for reference. Every figure is measured in
// several rounds and given as min / median.
// Usage: dravo_real_host_bench [rounds, default 5] [playlist entries, default 100000]
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host_process.h"
#include "loopback_client.h"
#include "mpd_reference.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using dravo::bench::connect_to;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// One request on a new connection, blocking; the whole answer up to the server's close.
std::string fetch(int port, const std::string& target) {
    const int fd = connect_to(port);
    if (fd < 0) {
        return {};
    }
    std::string answer;
    if (write_all(fd, "GET " + target + " HTTP/1.0\r\n\r\n")) {
        char buffer[65536];
        long n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            answer.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return answer;
}

// The floor: accept, read to the empty line, write the stored answer for the path, close. One
// connection at a time, blocking calls, nothing else.
class FloorServer {
public:
    explicit FloorServer(std::map<std::string, std::string> answers)
        : answers_(std::move(answers)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 128);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~FloorServer() {
        stop_ = true;
        const int wake = connect_to(port_);  // lets accept return once more
        thread_.join();
        if (wake >= 0) {
            ::close(wake);
        }
        ::close(listener_);
    }
    int port() const { return port_; }

private:
    void serve() {
        char buffer[4096];
        for (;;) {
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (stop_) {
                if (fd >= 0) {
                    ::close(fd);
                }
                return;
            }
            if (fd < 0) {
                continue;
            }
            std::string request;
            long n = 0;
            while (request.find("\n\n") == std::string::npos &&
                   request.find("\n\r\n") == std::string::npos &&
                   (n = ::read(fd, buffer, sizeof buffer)) > 0) {
                request.append(buffer, static_cast<std::size_t>(n));
            }
            const auto start = request.find(' ') + 1;
            const auto path = request.substr(start, request.find(' ', start) - start);
            const auto found = answers_.find(path);
            if (found != answers_.end()) {
                write_all(fd, found->second);
            }
            ::close(fd);
        }
    }

    std::map<std::string, std::string> answers_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The playlist's files, relative to a music folder: the host gets them under /srv/music/.
std::vector<std::string> bench_files(int entries) {
    std::vector<std::string> files;
    for (int i = 0; i < entries; ++i) {
        files.push_back("Artist " + std::to_string(i / 1000) + "/Album " +
                        std::to_string(i / 100 % 10) + "/Track " + std::to_string(i % 100) +
                        " of the album number " + std::to_string(i) + ".mp3");
    }
    return files;
}

// player_host with null audio, a private copy of the plug-in and a playlist of the files.
class RealHost {
public:
    explicit RealHost(const std::vector<std::string>& files) {
        namespace fs = std::filesystem;
        fs::create_directories(work_.file("plugins"));
        fs::copy_file(DRAVO_PLUGIN_PATH, work_.file("plugins/gen_dravo_srv.so"));
        port_ = dravo::test::free_port();
        work_.write("plugins/gen_dravo_srv.ini", "[Settings]\r\nport=" + std::to_string(port_) +
                                                     "\r\nmedia_root=" + work_.path() +
                                                     "\r\nannounce=off\r\n");
        std::ofstream list(work_.file("big.m3u"), std::ios::binary);
        for (const auto& file : files) {
            list << "/srv/music/" << file << "\n";
        }
        list.close();
        process_ = std::make_unique<dravo::test::HostProcess>(
            std::vector<std::string>{"--plugins", work_.file("plugins"), "--audio-output", "null",
                                     "--state-dir", work_.file("state"), "--clear", "--add",
                                     work_.file("big.m3u")},
            std::vector<std::string>{"TMP=" + work_.path()}, work_.file("stderr.txt"));
        ready_ = process_->running() && dravo::test::wait_for_port(port_, 30000);
    }
    ~RealHost() {
        fetch(port_, "/shutdown");
        process_->wait_exit(std::chrono::seconds(10));
    }
    bool ready() const { return ready_; }
    int port() const { return port_; }

private:
    dravo::test::TempDir work_;
    int port_ = 0;
    bool ready_ = false;
    std::unique_ptr<dravo::test::HostProcess> process_;
};

struct Figures {
    std::vector<double> values;
    void add(double value) { values.push_back(value); }
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    double median() const {
        auto sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// Requests per second of clients threads, each fetching path requests times.
double rate(int port, const std::string& path, const std::string& expected, int clients,
            int requests, int& wrong) {
    std::atomic<int> bad{0};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            for (int i = 0; i < requests; ++i) {
                if (fetch(port, path) != expected) {
                    ++bad;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    wrong += bad;
    return clients * requests / (ms_since(start) / 1000);
}

// path with a new connection per request at 1 and 8 clients, the host and the floor taking
// turns in every round. target: the least ratio to the floor wanted (0: none, for reference).
void rates(int host_port, int floor_port, const std::string& path, const std::string& answer,
           int rounds, double target) {
    for (int clients : {1, 8}) {
        const int requests = 2000 / clients;
        Figures host, floor, ratio;
        int wrong = 0;
        rate(host_port, path, answer, clients, requests / 10, wrong);  // warm-up
        for (int round = 0; round < rounds; ++round) {
            host.add(rate(host_port, path, answer, clients, requests, wrong));
            floor.add(rate(floor_port, path, answer, clients, requests, wrong));
            ratio.add(host.values.back() / floor.values.back());
        }
        std::printf(
            "%-8s %d client%s  host %6.0f / %6.0f req/s   floor %6.0f / %6.0f req/s"
            "   ratio %.2f / %.2f  (min / median)%s\n",
            path.c_str(), clients, clients > 1 ? "s" : " ", host.min(), host.median(), floor.min(),
            floor.median(), ratio.min(), ratio.median(), wrong ? "  WRONG ANSWERS" : "");
        if (target > 0) {
            std::printf("         target: ratio at least %.2f: %s\n", target,
                        ratio.median() >= target ? "met" : "NOT met");
        }
    }
}

// The host, the floor and MPD (when it runs) take turns in every round.
void list_times(int host_port, int floor_port, const std::string& answer, int rounds,
                const dravo::bench::MpdReference& mpd) {
    Figures host, floor, reference;
    int wrong = 0;
    std::size_t reference_bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        wrong += fetch(host_port, "/list") != answer;
        host.add(ms_since(start));
        start = Clock::now();
        wrong += fetch(floor_port, "/list") != answer;
        floor.add(ms_since(start));
        if (!mpd.ready()) {
            continue;
        }
        start = Clock::now();
        reference_bytes = mpd.playlist().size();
        reference.add(ms_since(start));
    }
    std::printf(
        "/list    %zu bytes  host %6.1f / %6.1f ms   floor %6.1f / %6.1f ms  (min / "
        "median)%s\n",
        answer.size(), host.min(), host.median(), floor.min(), floor.median(),
        wrong ? "  WRONG ANSWERS" : "");
    if (!mpd.ready()) {
        std::printf("         MPD skipped: %s\n", mpd.why().c_str());
        std::printf("         target: at most 50 ms: %s\n",
                    host.median() <= 50 ? "met" : "NOT met");
        return;
    }
    std::printf("MPD playlist %zu bytes          %6.1f / %6.1f ms  (min / median)\n",
                reference_bytes, reference.min(), reference.median());
    std::printf("         target: at most MPD's time: %s (min), %s (median)\n",
                host.min() <= reference.min() ? "met" : "NOT met",
                host.median() <= reference.median() ? "met" : "NOT met");
}

// "/status" sent a little after a "/list" request, while the list is made and written.
void status_during_list(int port, const std::string& status_answer, int rounds) {
    Figures waits;
    int wrong = 0;
    const int offsets_ms[] = {0, 1, 2, 4, 8, 16};
    for (int round = 0; round < rounds; ++round) {
        for (int offset : offsets_ms) {
            std::thread list([port] { fetch(port, "/list"); });
            std::this_thread::sleep_for(std::chrono::milliseconds(offset));
            const auto start = Clock::now();
            wrong += fetch(port, "/status") != status_answer;
            waits.add(ms_since(start));
            list.join();
        }
    }
    std::printf(
        "/status during /list  %zu requests  wait %5.1f / %5.1f / %5.1f ms  (min / "
        "median / max)%s\n",
        waits.values.size(), waits.min(), waits.median(), waits.max(),
        wrong ? "  WRONG ANSWERS" : "");
    std::printf("         target: at most 50 ms: %s\n", waits.max() <= 50 ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int entries = argc > 2 ? std::atoi(argv[2]) : 100000;
    const auto files = bench_files(entries);
    RealHost host(files);
    if (!host.ready()) {
        std::fprintf(stderr, "player_host did not start\n");
        return 1;
    }
    const std::string status = fetch(host.port(), "/status");
    const std::string list = fetch(host.port(), "/list");
    const auto lines = std::count(list.begin(), list.end(), '\n') - 5;  // minus the header's
    std::printf(
        "real player_host, null audio, %ld playlist entries; floor: serial server in this "
        "program with the same bytes; %d rounds\n",
        static_cast<long>(lines), rounds);
    const std::string version = fetch(host.port(), "/version");
    FloorServer floor({{"/status", status}, {"/list", list}, {"/version", version}});
    rates(host.port(), floor.port(), "/status", status, rounds, 0.8);
    // No player message at all: what the listener alone costs.
    rates(host.port(), floor.port(), "/version", version, rounds, 0);
    const dravo::bench::MpdReference mpd(files);
    list_times(host.port(), floor.port(), list, rounds, mpd);
    status_during_list(host.port(), status, rounds);
    return 0;
}
