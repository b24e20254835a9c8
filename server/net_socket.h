#pragma once
// A thin TCP socket layer for the listener. Failures carry Winsock error numbers on every
// platform, so the server log reads the same everywhere. Sockets are non-blocking; the waits
// are readiness waits with a time limit. One thread uses a socket at a time.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dravo::net {

inline constexpr int kInterrupted = 10004;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kTimedOut = 10060;

// No socket: a closed connection's handle.
inline constexpr std::intptr_t kNoHandle = -1;

// The Winsock number for a platform error code.
int socket_error_code(int platform_error);

class Connection {
public:
    Connection() = default;
    explicit Connection(std::intptr_t handle) : handle_(handle) {}
    Connection(Connection&& other) noexcept
        : handle_(std::exchange(other.handle_, kNoHandle)), error_(other.error_) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, kNoHandle);
            error_ = other.error_;
        }
        return *this;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }

    bool is_open() const { return handle_ != kNoHandle; }
    std::intptr_t handle() const { return handle_; }
    // Bytes received (> 0), 0 when the peer has closed its side, -1 on failure (see last_error;
    // kWouldBlock when nothing has arrived yet).
    long receive(char* buffer, std::size_t size);
    // Bytes sent, or -1 on failure (see last_error; kWouldBlock when there is no room yet).
    long send(const char* data, std::size_t size);
    bool wait_readable(int timeout_ms) const;
    bool wait_writable(int timeout_ms) const;
    int last_error() const { return error_; }
    // The peer's address as dotted text; empty when unknown.
    std::string peer_address() const;
    // The address the peer reached us at, as dotted text; empty when unknown.
    std::string local_address() const;
    // Shuts both directions down, then closes.
    void shutdown_and_close();
    // Ends our sending side only (the peer reads an end of stream).
    void shutdown_send();
    // Closes abortively: the peer sees a reset.
    void reset();
    void close();

private:
    std::intptr_t handle_ = kNoHandle;
    int error_ = 0;
};

class Listener {
public:
    Listener() = default;
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    ~Listener() { close(); }

    // Binds every local address (or only bind_address, dotted IPv4) on port and listens. On
    // failure reason says why, in words.
    bool open(int port, int backlog, std::string& reason, const std::string& bind_address = {});
    // Waits up to timeout_ms for a pending connection and accepts it (non-blocking).
    std::optional<Connection> accept(int timeout_ms);
    std::intptr_t handle() const { return handle_; }
    void close();
    int port() const;

private:
    std::intptr_t handle_ = -1;
};

// One socket of a readiness wait: what is wanted in, what is ready out. An entry whose handle
// is kNoHandle is left out of the wait and reported not ready.
struct WaitEntry {
    std::intptr_t handle = kNoHandle;
    bool want_read = false;
    bool want_write = false;
    bool readable = false;  // also set on errors and hang-ups, so the next call reports them
    bool writable = false;
};

// This machine's host name; empty when unknown.
std::string machine_host_name();

// Waits up to timeout_ms until one of the entries is ready; marks the ready ones.
void wait_any(std::vector<WaitEntry>& entries, int timeout_ms);

}  // namespace dravo::net
