#include "loopback_client.h"

#include <chrono>
#include <thread>

#include "command_server.h"
#include "net_socket.h"

namespace dravo::test {

std::optional<std::string> exchange(int port, const std::string& request, int timeout_ms) {
    auto connection = connect_loopback(port, timeout_ms);
    if (!connection) return std::nullopt;
    std::size_t sent = 0;
    while (sent < request.size()) {
        long n = connection->send(request.data() + sent, request.size() - sent);
        if (n < 0 && connection->last_error() != net::kWouldBlock) break;
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else
            connection->wait_writable(100);
    }
    std::string answer;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        long n = connection->receive(buffer, sizeof buffer);
        if (n > 0)
            answer.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0)
            return answer;
        else if (connection->last_error() == net::kWouldBlock)
            connection->wait_readable(50);
        else
            return answer;
    }
    return answer;
}

std::optional<std::string> get(int port, const std::string& target) {
    return exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n");
}

const std::string& header_bytes() {
    static const std::string header = [] {
        std::string h;
        for (const char* piece : kHeaderPieces) h += piece;
        return h;
    }();
    return header;
}

bool wait_for_port(int port, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        // An empty request gets the bare header and leaves no trace in the server's log.
        auto answer = exchange(port, "\r\n\r\n", 1000);
        if (answer && *answer == header_bytes()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

int free_port() {
    net::Listener probe;
    std::string reason;
    for (int port =
             20000 +
             static_cast<int>(std::chrono::steady_clock::now().time_since_epoch().count() % 20000);
         ; port = 20000 + (port + 7919) % 40000) {
        if (probe.open(port, 1, reason)) return port;
    }
}

}  // namespace dravo::test
