#pragma once
// A loopback HTTP proxy for the client's tests under wine: it records the target of every GET it
// receives, in order, and passes the request to the real server on upstream_port, relaying the
// answer until the server closes. A HEAD it answers itself with the plain header of a server
// without the state API, recording its target apart: so the client's feed never holds the one
// connection it serves at a time with a long-poll, and the GETs it records stay the window's
// own. On a thread of its own; any thread may read the record. A failure to listen leaves port()
// at 0.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dravo::test {

class RecordingProxy {
public:
    explicit RecordingProxy(int upstream_port);
    ~RecordingProxy();
    RecordingProxy(const RecordingProxy&) = delete;
    RecordingProxy& operator=(const RecordingProxy&) = delete;

    int port() const { return port_; }
    std::size_t count() const;
    // The targets ("/path?query") received since the first `from`.
    std::vector<std::string> targets(std::size_t from = 0) const;
    std::vector<std::string> head_targets() const;

private:
    void serve();
    void pass_on(std::uintptr_t client);

    int upstream_port_;
    std::uintptr_t listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
    std::vector<std::string> head_targets_;
    std::thread thread_;
};

// One GET straight to the server on port: the answer's body ("" on failure).
std::string http_get(int port, const std::string& target);

}  // namespace dravo::test
