#pragma once
// The plug-in's HTTP command server: one listening socket, one connection at a time.
// run() is the listener thread's procedure; stop() may be called from any thread and is seen
// within 10 ms. Everything else runs on the listener thread.
#include <atomic>
#include <string>

#include "command_table.h"
#include "net_socket.h"

namespace dravo {

class PluginHost;
class ServerLog;

struct ServerLimits {
    int accept_wait_ms = 10;      // longest wait for a connection before the stop flag is checked
    int read_idle_ms = 2000;      // a client that sends nothing for this long is dropped
    int send_stall_ms = 5000;     // a client that reads nothing for this long is dropped
};

class CommandServer {
public:
    enum class State { starting, listening, failed, stopped };

    CommandServer(int port, CommandTable& table, PluginHost& host, const ServerLog& log,
                  ServerLimits limits = {});
    CommandServer(const CommandServer&) = delete;
    CommandServer& operator=(const CommandServer&) = delete;

    int run();
    void stop() { stop_requested_ = true; }
    State state() const { return state_; }
    int listening_port() const { return listening_port_; }

    void handle_connection();
    void send_text(const std::string& text);

    // The query pairs of the request being handled.
    QueryMap query;

private:
    bool read_request(std::string& text);
    void run_command(const std::string& path);

    int port_;
    CommandTable& table_;
    PluginHost& host_;
    const ServerLog& log_;
    ServerLimits limits_;
    net::Connection connection_;
    bool connection_stalled_ = false;
    std::atomic<bool> stop_requested_{false};
    std::atomic<State> state_{State::starting};
    std::atomic<int> listening_port_{0};
};

inline constexpr std::size_t kRequestMax = 4095;
// The header every answer starts with: status line and three fields, bare LF ends.
inline constexpr const char* kHeaderPieces[] = {"HTTP/1.0 200 OK\nConnection: close\n",
                                                "Expires: -1\n", "Content-type: text/html\n",
                                                "\n"};

}  // namespace dravo
