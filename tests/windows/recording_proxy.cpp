#include "recording_proxy.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>

namespace dravo::test {
namespace {

SOCKET connect_to(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// Reads up to the empty line that ends a request's head.
std::string read_head(SOCKET s) {
    std::string head;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.find("\n\n") == std::string::npos) {
        const int got = recv(s, buffer, sizeof(buffer), 0);
        if (got <= 0) {
            break;
        }
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head;
}

std::string read_all(SOCKET s) {
    std::string all;
    char buffer[4096];
    for (int got; (got = recv(s, buffer, sizeof(buffer), 0)) > 0;) {
        all.append(buffer, static_cast<std::size_t>(got));
    }
    return all;
}

void send_all(SOCKET s, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int put = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (put <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(put);
    }
}

// What the server says to a HEAD of a path it does not serve as JSON.
constexpr char kPlainHeader[] =
    "HTTP/1.0 200 OK\nConnection: close\nExpires: -1\nContent-type: text/html\n\n";

std::string target_of(const std::string& head) {
    const auto start = head.find(' ');
    const auto end = head.find(' ', start + 1);
    return start == std::string::npos ? head : head.substr(start + 1, end - start - 1);
}

}  // namespace

RecordingProxy::RecordingProxy(int upstream_port) : upstream_port_(upstream_port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    listener_ = static_cast<std::uintptr_t>(s);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(s, 16) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&address), &length)) {
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RecordingProxy::~RecordingProxy() {
    stopping_ = true;
    closesocket(static_cast<SOCKET>(listener_));  // ends the accept
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::size_t RecordingProxy::count() const {
    std::lock_guard lock(mutex_);
    return targets_.size();
}

std::vector<std::string> RecordingProxy::head_targets() const {
    std::lock_guard lock(mutex_);
    return head_targets_;
}

std::vector<std::string> RecordingProxy::targets(std::size_t from) const {
    std::lock_guard lock(mutex_);
    return {targets_.begin() + static_cast<std::ptrdiff_t>(std::min(from, targets_.size())),
            targets_.end()};
}

void RecordingProxy::serve() {
    while (!stopping_) {
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            continue;
        }
        pass_on(static_cast<std::uintptr_t>(client));
    }
}

void RecordingProxy::pass_on(std::uintptr_t client_handle) {
    const auto client = static_cast<SOCKET>(client_handle);
    const std::string head = read_head(client);
    const bool is_head = head.rfind("HEAD ", 0) == 0;
    {
        std::lock_guard lock(mutex_);
        (is_head ? head_targets_ : targets_).push_back(target_of(head));
    }
    SOCKET server = is_head ? INVALID_SOCKET : connect_to(upstream_port_);
    if (is_head) {
        send_all(client, kPlainHeader);
    } else if (server != INVALID_SOCKET) {
        send_all(server, head);
        send_all(client, read_all(server));
        closesocket(server);
    }
    shutdown(client, SD_SEND);
    closesocket(client);
}

std::string http_get(int port, const std::string& target) {
    SOCKET s = connect_to(port);
    if (s == INVALID_SOCKET) {
        return {};
    }
    send_all(s, "GET " + target + " HTTP/1.0\r\n\r\n");
    const std::string answer = read_all(s);
    closesocket(s);
    const auto body = answer.find("\n\n");
    return body == std::string::npos ? std::string() : answer.substr(body + 2);
}

}  // namespace dravo::test
