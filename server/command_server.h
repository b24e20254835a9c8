#pragma once
// The plug-in's HTTP command server. One thread reads requests from many connections at once,
// runs their commands strictly one at a time in the order the requests became complete (header
// first, then the command), and writes each answer as its client reads it, so a slow or silent
// client holds up nobody. A command that waits for something slow ("/update") hands its answer to
// a worker (LateAnswer); its connection waits, without a time limit, while the others are served.
// run() is the listener thread's procedure; stop() may be called from any thread and is seen
// within 10 ms. Everything else runs on the listener thread.
#include <atomic>
#include <functional>
#include <list>
#include <string>

#include "browser_guard.h"
#include "client_connection.h"
#include "client_policy.h"
#include "command_table.h"
#include "page_service.h"
#include "request.h"

namespace dravo {

class ServerLog;

// Shows a notice to the user (text, caption); the host's message box in the plug-in.
using ShowNotice = std::function<void(const std::string& text, const std::string& caption)>;

struct ServerLimits {
    int wait_ms = 10;                   // longest readiness wait before the stop flag is checked
    int read_idle_ms = 2000;            // a client that sends nothing for this long is dropped
    int send_stall_ms = 5000;           // a client that reads nothing for this long is dropped
    std::size_t max_connections = 256;  // beyond it the connection idle longest is closed
};

class CommandServer {
public:
    enum class State { starting, listening, failed, stopped };

    CommandServer(int port, CommandTable& table, ShowNotice notice, const ServerLog& log,
                  ServerLimits limits = {}, ClientPolicy policy = {},
                  BrowserGuard guard = BrowserGuard::from_settings(net::machine_host_name(), ""),
                  PageService* page = nullptr);
    CommandServer(const CommandServer&) = delete;
    CommandServer& operator=(const CommandServer&) = delete;

    // listening, when given, is called on this thread with the port once the socket listens.
    int run(const std::function<void(int)>& listening = {});
    void stop() { stop_requested_ = true; }
    State state() const { return state_; }
    int listening_port() const { return listening_port_; }

private:
    using Clients = std::list<ClientConnection>;

    void serve(net::Listener& listener);
    // Held long-polls are watched only for their clients' hang-ups, which can wait a little:
    // left out of most readiness waits, they cost nothing on the turns a crowd of requests
    // makes. True on the turns whose wait includes them.
    bool held_look_due(ClientConnection::Clock::time_point now);
    void accept_all(net::Listener& listener);
    // False when the connection is finished and must go.
    bool service(ClientConnection& client, bool ready, ClientConnection::Clock::time_point now);
    bool flush(ClientConnection& client, ClientConnection::Clock::time_point now);
    // A connection waiting for its late answer: writes it once finished, then runs its
    // follow-up. False when the connection is finished and must go.
    bool write_late_answer(ClientConnection& client, bool ready,
                           ClientConnection::Clock::time_point now);
    // Runs the complete request of one connection: parse, header, command; the answer is
    // queued on that connection. False when it is a long-poll held for later (page_held.cpp).
    bool handle_connection(ClientConnection& client);
    bool handle_page(ClientConnection& client, const ParsedRequest& request,
                     const BrowserVerdict& verdict, const SendText& send);
    void hold(ClientConnection& client, const PageWait& wait,
              ClientConnection::Clock::time_point now);
    // Answers a held long-poll with the current state once it is due; false when the
    // connection must go (its client hung up, or the answer is done).
    bool answer_held(ClientConnection& client, bool ready, ClientConnection::Clock::time_point now);
    // At quit and when the connection limit evicts it: answered at once, then closed.
    void answer_held_and_close(ClientConnection& client);
    void run_command(const ParsedRequest& request, const SendText& send, const DeferAnswer& defer);
    void close_idlest();
    void log_code(const char* what, int code);

    int port_;
    CommandTable& table_;
    ShowNotice notice_;
    const ServerLog& log_;
    ServerLimits limits_;
    ClientPolicy policy_;
    BrowserGuard guard_;
    PageService* page_;
    Clients clients_;
    ClientConnection::Clock::time_point next_held_look_{};
    std::atomic<bool> stop_requested_{false};
    std::atomic<State> state_{State::starting};
    std::atomic<int> listening_port_{0};
};

// The header every answer starts with: status line and three fields, bare LF ends.
inline constexpr const char* kHeaderPieces[] = {"HTTP/1.0 200 OK\nConnection: close\n",
                                                "Expires: -1\n", "Content-type: text/html\n", "\n"};

}  // namespace dravo
