// The listener's sockets on Winsock 2: WSAPoll for readiness, WSAGetLastError's numbers as they
// are. Winsock is started once, on first use, and stays up for the life of the process.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <climits>
#include <utility>

#include "net_socket.h"

namespace dravo::net {
namespace {

SOCKET socket_of(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

bool winsock_ready() {
    static const bool ready = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

// A program started later (the update program) must not inherit the listening port.
void prepare(SOCKET s) {
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}

bool wait_for(SOCKET s, short events, int timeout_ms) {
    WSAPOLLFD p{s, events, 0};
    return WSAPoll(&p, 1, timeout_ms) > 0;
}

int clamp_size(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::string describe(int code) {
    char text[256] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == '.')) {
        --n;
    }
    std::string reason = "error " + std::to_string(code);
    return n > 0 ? reason + " (" + std::string(text, n) + ")" : reason;
}

// One end of a connection as dotted text; empty when unknown.
std::string end_address(SOCKET socket, bool peer) {
    sockaddr_in address{};
    int size = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? ::getpeername(socket, raw, &size) : ::getsockname(socket, raw, &size)) != 0) {
        return {};
    }
    const auto* b = reinterpret_cast<const unsigned char*>(&address.sin_addr);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

}  // namespace

int socket_error_code(int e) { return e; }

long Connection::receive(char* buffer, std::size_t size) {
    int n = ::recv(socket_of(handle_), buffer, clamp_size(size), 0);
    if (n != SOCKET_ERROR) {
        return n;
    }
    error_ = WSAGetLastError();
    return -1;
}

long Connection::send(const char* data, std::size_t size) {
    int n = ::send(socket_of(handle_), data, clamp_size(size), 0);
    if (n != SOCKET_ERROR) {
        return n;
    }
    error_ = WSAGetLastError();
    return -1;
}

bool Connection::wait_readable(int timeout_ms) const {
    return wait_for(socket_of(handle_), POLLRDNORM, timeout_ms);
}

bool Connection::wait_writable(int timeout_ms) const {
    return wait_for(socket_of(handle_), POLLWRNORM, timeout_ms);
}

void Connection::shutdown_and_close() {
    if (!is_open()) {
        return;
    }
    ::shutdown(socket_of(handle_), SD_BOTH);
    close();
}

void Connection::shutdown_send() {
    if (is_open()) {
        ::shutdown(socket_of(handle_), SD_SEND);
    }
}

void Connection::reset() {
    if (!is_open()) {
        return;
    }
    linger abortive{1, 0};
    ::setsockopt(socket_of(handle_), SOL_SOCKET, SO_LINGER,
                 reinterpret_cast<const char*>(&abortive), sizeof abortive);
    close();
}

void Connection::close() {
    if (is_open()) {
        ::closesocket(socket_of(std::exchange(handle_, kNoHandle)));
    }
}

std::string Connection::peer_address() const {
    return is_open() ? end_address(socket_of(handle_), true) : std::string();
}

std::string Connection::local_address() const {
    return is_open() ? end_address(socket_of(handle_), false) : std::string();
}

// The computer's DNS host name needs no started socket layer, unlike gethostname.
std::string machine_host_name() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size)) {
        return {};
    }
    return std::string(name, size);
}

bool Listener::open(int port, int backlog, std::string& reason, const std::string& bind_address) {
    close();
    if (port <= 0 || port > 65535) {
        reason = "port " + std::to_string(port) + " is not a valid TCP port";
        return false;
    }
    if (!winsock_ready()) {
        reason = "Winsock could not be started";
        return false;
    }
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        reason = describe(WSAGetLastError());
        return false;
    }
    // Winsock's SO_REUSEADDR would let another program take the port over; this forbids it.
    BOOL on = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<u_short>(port));
    if (!bind_address.empty() && inet_pton(AF_INET, bind_address.c_str(), &address.sin_addr) != 1) {
        reason = "bind_address " + bind_address + " is not an IPv4 address";
        ::closesocket(s);
        return false;
    }
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, backlog) != 0) {
        reason = "port " + std::to_string(port) + ": " + describe(WSAGetLastError());
        ::closesocket(s);
        return false;
    }
    prepare(s);
    handle_ = static_cast<std::intptr_t>(s);
    return true;
}

std::optional<Connection> Listener::accept(int timeout_ms) {
    if (handle_ == -1 || !wait_for(socket_of(handle_), POLLRDNORM, timeout_ms)) {
        return std::nullopt;
    }
    SOCKET s = ::accept(socket_of(handle_), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return std::nullopt;
    }
    prepare(s);
    return Connection(static_cast<std::intptr_t>(s));
}

void Listener::close() {
    if (handle_ != -1) {
        ::closesocket(socket_of(std::exchange(handle_, -1)));
    }
}

int Listener::port() const {
    sockaddr_in address{};
    int size = sizeof address;
    if (handle_ == -1 ||
        ::getsockname(socket_of(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

void wait_any(std::vector<WaitEntry>& entries, int timeout_ms) {
    std::vector<WSAPOLLFD> fds;
    fds.reserve(entries.size());
    for (const auto& e : entries) {
        if (e.handle == kNoHandle) {
            continue;  // left out of the wait
        }
        short events =
            static_cast<short>((e.want_read ? POLLRDNORM : 0) | (e.want_write ? POLLWRNORM : 0));
        fds.push_back({socket_of(e.handle), events, 0});
    }
    if (fds.empty()) {  // WSAPoll refuses an empty set instead of waiting
        Sleep(static_cast<DWORD>(timeout_ms > 0 ? timeout_ms : 0));
    }
    int n = fds.empty() ? 0 : WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeout_ms);
    std::size_t next = 0;
    for (auto& e : entries) {
        short got = e.handle == kNoHandle ? 0 : fds[next++].revents;
        got = n > 0 ? got : 0;
        e.readable = (got & (POLLRDNORM | POLLERR | POLLHUP | POLLNVAL)) != 0;
        e.writable = (got & (POLLWRNORM | POLLERR | POLLHUP)) != 0;
    }
}

}  // namespace dravo::net
