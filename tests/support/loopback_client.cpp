#include "loopback_client.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "command_server.h"
#include "net_socket.h"

namespace dravo::test {

std::optional<std::string> send_request(int port, const std::string& request, int timeout_ms) {
    auto connection = connect_loopback(port, timeout_ms);
    if (!connection) {
        return std::nullopt;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        long n = connection->send(request.data() + sent, request.size() - sent);
        if (n < 0 && connection->last_error() != net::kWouldBlock) {
            break;
        }
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else {
            connection->wait_writable(100);
        }
    }
    std::string answer;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        long n = connection->receive(buffer, sizeof buffer);
        if (n > 0) {
            answer.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            return answer;
        } else if (connection->last_error() == net::kWouldBlock) {
            connection->wait_readable(50);
        } else {
            return answer;
        }
    }
    return answer;
}

std::optional<std::string> get(int port, const std::string& target) {
    return send_request(port, "GET " + target + " HTTP/1.0\r\n\r\n");
}

const std::string& header_bytes() {
    static const std::string header = [] {
        std::string h;
        for (const char* piece : kHeaderPieces) {
            h += piece;
        }
        return h;
    }();
    return header;
}

bool wait_for_port(int port, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        // An empty request gets the bare header and leaves no trace in the server's log.
        auto answer = send_request(port, "\r\n\r\n", 1000);
        if (answer && *answer == header_bytes()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

int listen_on_free_port(net::Listener& listener, const std::string& address) {
    // The listener takes no port 0, so ports are tried from a start that differs per call.
    static std::atomic<unsigned> calls{0};
    const auto seed =
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) +
        7919u * calls++;
    std::string reason;
    for (int attempt = 0, port = 20000 + static_cast<int>(seed % 40000); attempt < 500;
         ++attempt, port = 20000 + (port + 7919) % 40000) {
        if (listener.open(port, 16, reason, address)) {
            return port;
        }
    }
    return 0;
}

int free_port() {
    net::Listener probe;
    return listen_on_free_port(probe);
}

}  // namespace dravo::test
