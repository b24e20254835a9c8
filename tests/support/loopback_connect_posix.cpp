// The client side of a loopback connection for tests and benchmarks, kept out of the plug-in.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "loopback_client.h"

namespace dravo::test {

std::optional<net::Connection> connect_loopback(int port, int timeout_ms, const char* address) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    int rc = inet_pton(AF_INET, address, &to.sin_addr) == 1
                 ? ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to)
                 : -1;
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd wanted{fd, POLLOUT, 0};
        int error = ETIMEDOUT;
        socklen_t size = sizeof error;
        if (::poll(&wanted, 1, timeout_ms) == 1) {
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
        }
        rc = error == 0 ? 0 : -1;
    }
    if (rc != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return net::Connection(fd);
}

void set_receive_window(net::Connection& connection, int bytes) {
    ::setsockopt(static_cast<int>(connection.handle()), SOL_SOCKET, SO_RCVBUF, &bytes,
                 sizeof bytes);
}

}  // namespace dravo::test
