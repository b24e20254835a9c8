#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "net_socket.h"

namespace dravo::net {
namespace {

int fd_of(std::intptr_t handle) { return static_cast<int>(handle); }

bool set_non_blocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool wait_for(int fd, short events, int timeout_ms) {
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeout_ms);
        if (n >= 0) {
            return n > 0;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

// One end of a connection as dotted text; empty when unknown.
std::string end_address(int fd, bool peer) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    char text[INET_ADDRSTRLEN] = {};
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? ::getpeername(fd, raw, &size) : ::getsockname(fd, raw, &size)) != 0 ||
        !inet_ntop(AF_INET, &address.sin_addr, text, sizeof text)) {
        return {};
    }
    return text;
}

}  // namespace

int socket_error_code(int e) {
    switch (e) {
        case EINTR:
            return kInterrupted;
        case EBADF:
            return 10009;
        case EACCES:
            return 10013;
        case EFAULT:
            return 10014;
        case EINVAL:
            return 10022;
        case EMFILE:
        case ENFILE:
            return 10024;
        case EAGAIN:
            return kWouldBlock;
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
            return kWouldBlock;
#endif
        case EINPROGRESS:
            return 10036;
        case EMSGSIZE:
            return 10040;
        case EADDRINUSE:
            return kAddressInUse;
        case EADDRNOTAVAIL:
            return 10049;
        case ENETDOWN:
            return 10050;
        case ENETUNREACH:
            return 10051;
        case ECONNABORTED:
            return kConnectionAborted;
        case ECONNRESET:
        case EPIPE:
            return kConnectionReset;
        case ENOBUFS:
        case ENOMEM:
            return 10055;
        case ENOTCONN:
            return 10057;
        case ETIMEDOUT:
            return kTimedOut;
        case ECONNREFUSED:
            return 10061;
        case EHOSTUNREACH:
            return 10065;
        default:
            return 10000 + e;  // no Winsock twin: keep the platform number visible
    }
}

long Connection::receive(char* buffer, std::size_t size) {
    for (;;) {
        ssize_t n = ::recv(fd_of(handle_), buffer, size, 0);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        error_ = socket_error_code(errno);
        return -1;
    }
}

long Connection::send(const char* data, std::size_t size) {
    for (;;) {
        ssize_t n = ::send(fd_of(handle_), data, size, MSG_NOSIGNAL);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        error_ = socket_error_code(errno);
        return -1;
    }
}

bool Connection::wait_readable(int timeout_ms) const {
    return wait_for(fd_of(handle_), POLLIN, timeout_ms);
}

bool Connection::wait_writable(int timeout_ms) const {
    return wait_for(fd_of(handle_), POLLOUT, timeout_ms);
}

void Connection::shutdown_and_close() {
    if (!is_open()) {
        return;
    }
    ::shutdown(fd_of(handle_), SHUT_RDWR);
    close();
}

void Connection::shutdown_send() {
    if (is_open()) {
        ::shutdown(fd_of(handle_), SHUT_WR);
    }
}

void Connection::reset() {
    if (!is_open()) {
        return;
    }
    linger abortive{1, 0};
    ::setsockopt(fd_of(handle_), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    close();
}

void Connection::close() {
    if (is_open()) {
        ::close(fd_of(std::exchange(handle_, kNoHandle)));
    }
}

std::string Connection::peer_address() const {
    return is_open() ? end_address(fd_of(handle_), true) : std::string();
}

std::string Connection::local_address() const {
    return is_open() ? end_address(fd_of(handle_), false) : std::string();
}

std::string machine_host_name() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

bool Listener::open(int port, int backlog, std::string& reason, const std::string& bind_address) {
    close();
    if (port <= 0 || port > 65535) {
        reason = "port " + std::to_string(port) + " is not a valid TCP port";
        return false;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    // Lets a restarted host bind again at once while old connections linger in TIME_WAIT.
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (!bind_address.empty() && inet_pton(AF_INET, bind_address.c_str(), &address.sin_addr) != 1) {
        reason = "bind_address " + bind_address + " is not an IPv4 address";
        ::close(fd);
        return false;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, backlog) != 0 || !set_non_blocking(fd)) {
        int e = errno;
        reason = "port " + std::to_string(port) + ": " + std::strerror(e);
        if (e == EACCES && port < 1024) {
            reason += " (ports below 1024 need privileges on Linux)";
        }
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

std::optional<Connection> Listener::accept(int timeout_ms) {
    if (handle_ < 0 || !wait_for(fd_of(handle_), POLLIN, timeout_ms)) {
        return std::nullopt;
    }
    int fd = ::accept4(fd_of(handle_), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    return Connection(fd);
}

void Listener::close() {
    if (handle_ >= 0) {
        ::close(fd_of(std::exchange(handle_, -1)));
    }
}

int Listener::port() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (handle_ < 0 ||
        ::getsockname(fd_of(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

void wait_any(std::vector<WaitEntry>& entries, int timeout_ms) {
    // poll skips a negative descriptor and reports it not ready: kNoHandle needs no case.
    std::vector<pollfd> fds;
    fds.reserve(entries.size());
    for (const auto& e : entries) {
        short events =
            static_cast<short>((e.want_read ? POLLIN : 0) | (e.want_write ? POLLOUT : 0));
        fds.push_back({fd_of(e.handle), events, 0});
    }
    int n = ::poll(fds.data(), fds.size(), timeout_ms);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        short got = n > 0 ? fds[i].revents : 0;
        entries[i].readable = (got & (POLLIN | POLLERR | POLLHUP)) != 0;
        entries[i].writable = (got & (POLLOUT | POLLERR | POLLHUP)) != 0;
    }
}

}  // namespace dravo::net
