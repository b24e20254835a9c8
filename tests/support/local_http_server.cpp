#include "local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace dravo::test {
namespace {

int listen_on_loopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Reads up to the empty line that ends the head; gives up after two quiet seconds.
std::string read_head(int connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd ready{connection, POLLIN, 0};
        if (::poll(&ready, 1, 2000) <= 0) {
            break;
        }
        const auto got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head;
}

std::string target_of(const std::string& head) {
    const auto start = head.find(' ');
    if (start == std::string::npos) {
        return {};
    }
    const auto end = head.find(' ', start + 1);
    return head.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

void send_all(int connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto done =
            ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (done <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(done);
    }
}

}  // namespace

LocalHttpServer::LocalHttpServer(std::map<std::string, HttpReply> replies, Mode mode)
    : mode_(mode), replies_(std::move(replies)) {
    listen_fd_ = listen_on_loopback(port_);
    if (listen_fd_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0) {
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    if (thread_.joinable()) {
        [[maybe_unused]] const auto written = ::write(wake_[1], "x", 1);
        thread_.join();
    }
    for (int fd : held_) {
        ::close(fd);
    }
    for (int fd : {listen_fd_, wake_[0], wake_[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::string LocalHttpServer::base_url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

void LocalHttpServer::set_reply(const std::string& target, HttpReply reply) {
    std::lock_guard lock(mutex_);
    replies_[target] = std::move(reply);
}

void LocalHttpServer::remove_reply(const std::string& target) {
    std::lock_guard lock(mutex_);
    replies_.erase(target);
}

std::vector<std::string> LocalHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> LocalHttpServer::targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

std::size_t LocalHttpServer::count(const std::string& target) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count(targets_.begin(), targets_.end(), target));
}

void LocalHttpServer::serve() {
    for (;;) {
        pollfd ready[2] = {{listen_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0 || ready[1].revents != 0) {
            return;
        }
        const int connection = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            continue;
        }
        if (mode_ == Mode::silent) {
            held_.push_back(connection);
            continue;
        }
        answer(connection);
        ::close(connection);
    }
}

void LocalHttpServer::answer(int connection) {
    const auto head = read_head(connection);
    const auto target = target_of(head);
    HttpReply reply{404, "not found", "", false};
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(head);
        targets_.push_back(target);
        if (const auto found = replies_.find(target); found != replies_.end()) {
            reply = found->second;
        }
    }
    const auto length = reply.body.size() + (reply.cut_short ? 100 : 0);
    const std::string reason = reply.status == 200   ? "OK"
                               : reply.status == 404 ? "Not Found"
                                                     : "Status";
    send_all(connection, "HTTP/1.0 " + std::to_string(reply.status) + " " + reason +
                             "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                             std::to_string(length) + "\r\nConnection: close\r\n" + reply.headers +
                             "\r\n" + reply.body);
}

std::uint16_t unused_port() {
    std::uint16_t port = 0;
    const int fd = listen_on_loopback(port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

}  // namespace dravo::test
