// The client side of a loopback connection for tests, on Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "loopback_client.h"

namespace dravo::test {

std::optional<net::Connection> connect_loopback(int port, int timeout_ms, const char* address) {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    SOCKET s = started ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) : INVALID_SOCKET;
    if (s == INVALID_SOCKET) {
        return std::nullopt;
    }
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    int rc = inet_pton(AF_INET, address, &to.sin_addr) == 1
                 ? ::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to)
                 : SOCKET_ERROR;
    if (rc != 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
        WSAPOLLFD wanted{s, POLLOUT, 0};
        int error = WSAETIMEDOUT;
        int size = sizeof error;
        if (WSAPoll(&wanted, 1, timeout_ms) == 1) {
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        }
        rc = error == 0 ? 0 : SOCKET_ERROR;
    }
    if (rc != 0) {
        closesocket(s);
        return std::nullopt;
    }
    return net::Connection(static_cast<std::intptr_t>(s));
}

void set_receive_window(net::Connection& connection, int bytes) {
    setsockopt(static_cast<SOCKET>(connection.handle()), SOL_SOCKET, SO_RCVBUF,
               reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

}  // namespace dravo::test
