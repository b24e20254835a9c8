#include "local_http_server.h"

#include <algorithm>

#include "loopback_client.h"

namespace dravo::test {
namespace {

// Reads up to the empty line that ends the head; gives up after two quiet seconds.
std::string read_head(net::Connection& connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        if (!connection.wait_readable(2000)) {
            break;
        }
        const auto got = connection.receive(buffer, sizeof buffer);
        if (got < 0 && connection.last_error() == net::kWouldBlock) {
            continue;
        }
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

void send_all(net::Connection& connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto done = connection.send(bytes.data() + sent, bytes.size() - sent);
        if (done > 0) {
            sent += static_cast<std::size_t>(done);
        } else if (connection.last_error() != net::kWouldBlock || !connection.wait_writable(5000)) {
            return;
        }
    }
}

}  // namespace

LocalHttpServer::LocalHttpServer(std::map<std::string, HttpReply> replies, Mode mode)
    : mode_(mode), replies_(std::move(replies)) {
    port_ = static_cast<std::uint16_t>(listen_on_free_port(listener_, "127.0.0.1"));
    listening_ = port_ != 0;
    if (listening_) {
        thread_ = std::thread([this] { serve(); });
    }
}

LocalHttpServer::~LocalHttpServer() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        released_.notify_all();
        connect_loopback(port_, 1000);  // wakes the accept
        thread_.join();
    }
}

std::string LocalHttpServer::base_url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

void LocalHttpServer::set_reply(const std::string& target, HttpReply reply) {
    std::lock_guard lock(mutex_);
    replies_[target] = std::move(reply);
}

void LocalHttpServer::hold(const std::string& target) {
    std::lock_guard lock(mutex_);
    held_targets_.insert(target);
}

void LocalHttpServer::release(const std::string& target) {
    {
        std::lock_guard lock(mutex_);
        held_targets_.erase(target);
    }
    released_.notify_all();
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
    while (!stopping_) {
        auto connection = listener_.accept(200);  // rechecks stopping_ should the wake-up fail
        if (!connection || stopping_) {
            continue;
        }
        if (mode_ == Mode::silent) {
            held_.push_back(std::move(*connection));
        } else {
            answer(*connection);
        }
    }
}

void LocalHttpServer::answer(net::Connection& connection) {
    const auto head = read_head(connection);
    const auto target = target_of(head);
    HttpReply reply{404, "not found", "", false};
    {
        std::unique_lock lock(mutex_);
        requests_.push_back(head);
        targets_.push_back(target);
        released_.wait(lock, [&] { return stopping_ || held_targets_.count(target) == 0; });
        if (stopping_) {
            return;
        }
        if (const auto found = replies_.find(target); found != replies_.end()) {
            reply = found->second;
        }
    }
    const auto length = reply.body.size() + (reply.cut_short ? 100 : 0);
    const std::string reason = reply.status == 200   ? "OK"
                               : reply.status == 404 ? "Not Found"
                                                     : "Status";
    const std::string length_line =
        reply.without_length ? "" : "Content-Length: " + std::to_string(length) + "\r\n";
    send_all(connection, "HTTP/1.0 " + std::to_string(reply.status) + " " + reason +
                             "\r\nContent-Type: application/octet-stream\r\n" + length_line +
                             "Connection: close\r\n" + reply.headers + "\r\n" + reply.body);
}

}  // namespace dravo::test
