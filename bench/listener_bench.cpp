// Requests per second and latency of the command server against a minimal fixed-answer server
// built into the same program (the floor). Every request opens a new connection, as the client
// does. Usage: dravo_listener_bench [path] [requests per client]
#include <algorithm>
#include <atomic>
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

bool request_complete_text(const std::string& text) {
    return text.find("\n\n") != std::string::npos || text.find("\n\r\n") != std::string::npos;
}

// Accepts, reads to the empty line, writes one fixed answer, closes. Nothing else.
class FloorServer {
public:
    FloorServer() {
        std::string reason;
        port_ = dravo::test::free_port();
        listener_.open(port_, 128, reason);
        thread_ = std::thread([this] { serve(); });
    }
    ~FloorServer() {
        stop_ = true;
        thread_.join();
    }
    int port() const { return port_; }

private:
    void serve() {
        const std::string answer = dravo::test::header_bytes() + "dravo_srv v1.14";
        while (!stop_) {
            auto c = listener_.accept(10);
            if (!c) continue;
            std::string text;
            char buffer[4096];
            while (!request_complete_text(text)) {
                long n = c->receive(buffer, sizeof buffer);
                if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
                else if (n == 0 || c->last_error() != dravo::net::kWouldBlock) break;
                else c->wait_readable(10);
            }
            c->send(answer.data(), answer.size());
            c->shutdown_and_close();
        }
    }
    dravo::net::Listener listener_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Result {
    double rate = 0;
    double p50_us = 0;
    double p99_us = 0;
    double max_us = 0;
    int failures = 0;
};

Result measure(int port, const std::string& path, int clients, int per_client) {
    std::vector<std::vector<double>> latencies(static_cast<std::size_t>(clients));
    std::atomic<int> failures{0};
    auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            auto& mine = latencies[static_cast<std::size_t>(c)];
            for (int i = 0; i < per_client; ++i) {
                auto t0 = Clock::now();
                auto answer = dravo::test::get(port, path);
                auto t1 = Clock::now();
                if (!answer || answer->size() < 71) ++failures;
                mine.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
            }
        });
    }
    for (auto& t : threads) t.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    std::sort(all.begin(), all.end());
    Result r;
    r.rate = static_cast<double>(all.size()) / seconds;
    r.p50_us = all[all.size() / 2];
    r.p99_us = all[all.size() * 99 / 100];
    r.max_us = all.back();
    r.failures = failures;
    return r;
}

void report(const char* name, int clients, const Result& r) {
    std::printf("%-8s clients=%d  %7.0f req/s  p50 %7.1f us  p99 %7.1f us  max %9.1f us  failures %d\n",
                name, clients, r.rate, r.p50_us, r.p99_us, r.max_us, r.failures);
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "/version";
    int per_client = argc > 2 ? std::atoi(argv[2]) : 2000;
    dravo::test::ServerFixture server;
    FloorServer floor;
    dravo::test::wait_for_port(server.port(), 2000);
    std::printf("GET %s, a new connection per request, %d requests per client\n", path.c_str(),
                per_client);
    int worst_percent = 1000;
    for (int clients : {1, 8}) {
        measure(server.port(), path, clients, per_client / 10);  // warm-up
        Result ours = measure(server.port(), path, clients, per_client);
        Result base = measure(floor.port(), "/version", clients, per_client);
        report("server", clients, ours);
        report("floor", clients, base);
        int percent = static_cast<int>(100.0 * ours.rate / base.rate);
        std::printf("ratio server/floor at %d clients: %.2f\n", clients, ours.rate / base.rate);
        worst_percent = std::min(worst_percent, percent);
    }
    std::printf("target: at least 0.80 of the floor's rate: %s\n",
                worst_percent >= 80 ? "met" : "NOT met");
    return 0;
}
