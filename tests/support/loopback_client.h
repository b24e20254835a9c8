#pragma once
// Raw HTTP over loopback for tests and benchmarks: connect, send bytes, read everything until
// the server closes. Blocking calls with time limits; any thread.
#include <optional>
#include <string>

#include "net_socket.h"

namespace dravo::test {

// A non-blocking connection to address:port, or nullopt when none came within timeout_ms.
std::optional<net::Connection> connect_loopback(int port, int timeout_ms,
                                                const char* address = "127.0.0.1");

// Sets the connection's receive buffer size (a small window keeps an answer from being parked).
void set_receive_window(net::Connection& connection, int bytes);

// Sends request (as is) and returns all bytes until the close; nullopt when no connection.
std::optional<std::string> send_request(int port, const std::string& request,
                                        int timeout_ms = 5000);
// A GET of target with CR LF line ends.
std::optional<std::string> get(int port, const std::string& target);
// The 71 header bytes every answer starts with.
const std::string& header_bytes();
// Waits until something accepts connections on port.
bool wait_for_port(int port, int timeout_ms);
// A port that was free a moment ago (nobody listens there).
int free_port();
// Opens listener on a free port of address (empty: every local address); the port, or 0.
int listen_on_free_port(net::Listener& listener, const std::string& address = {});

}  // namespace dravo::test
