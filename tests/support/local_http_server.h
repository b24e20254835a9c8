#pragma once
// A small HTTP/1.0 server for tests on 127.0.0.1 at a port the system picks. It answers each
// request target ("/path?query" exactly as sent) from a table, "404" with a short body for
// unknown targets, one connection at a time, in a thread of its own. In silent mode it accepts
// connections and never answers, for time-out tests. A held target is read and counted but
// answered only once the test releases it, so a test can act while a client waits for it.
// All members may be called from any thread; the destructor stops the server and closes every
// connection.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net_socket.h"

namespace dravo::test {

struct HttpReply {
    HttpReply(int status_code = 200, std::string body_bytes = {}, std::string extra_headers = {},
              bool cut = false, bool unannounced = false)
        : status(status_code), body(std::move(body_bytes)), headers(std::move(extra_headers)),
          cut_short(cut), without_length(unannounced) {}

    int status = 200;
    std::string body;
    // Extra header lines, each ending in "\r\n" (a "Location: ..." for redirects).
    std::string headers;
    // Announce more bytes than the body holds and close after the body: a broken transfer.
    bool cut_short = false;
    // No Content-Length: the close ends the body, as in the plug-in's answers.
    bool without_length = false;
};

class LocalHttpServer {
public:
    enum class Mode { answer, silent };

    explicit LocalHttpServer(std::map<std::string, HttpReply> replies = {},
                             Mode mode = Mode::answer);
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;
    ~LocalHttpServer();

    // False when the server could not listen.
    bool listening() const { return listening_; }
    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>/"
    std::string base_url() const;

    void set_reply(const std::string& target, HttpReply reply);
    // Requests for target wait (and so does every later connection) until release(target).
    void hold(const std::string& target);
    void release(const std::string& target);
    void remove_reply(const std::string& target);
    // The heads (request line and headers) of all requests read so far, in order.
    std::vector<std::string> requests() const;
    // The request targets ("/path?query" as sent) of all requests read so far, in order.
    std::vector<std::string> targets() const;
    // How many requests asked for target.
    std::size_t count(const std::string& target) const;

private:
    void serve();
    void answer(net::Connection& connection);

    Mode mode_;
    net::Listener listener_;
    bool listening_ = false;
    std::atomic<bool> stopping_{false};
    std::uint16_t port_ = 0;
    std::vector<net::Connection> held_;  // silent mode's open connections; serving thread only

    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::set<std::string> held_targets_;
    std::map<std::string, HttpReply> replies_;
    std::vector<std::string> requests_;
    std::vector<std::string> targets_;

    std::thread thread_;
};

}  // namespace dravo::test
