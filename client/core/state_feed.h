#pragma once
// The server's pushed state for the desktop client: on a thread of its own, asks the server with
// "HEAD api/state" whether it offers the state API, and only when the answer says JSON keeps one
// long-poll open ("api/wait?since=REV"), reading the playing entry's file name when the entry or
// the playlist changed. A server without the API never gets an API request: its answer to the
// HEAD is the plain header, and the feed ends there for that server.
//
// Order and threads: start() and stop() on the user-interface thread. Everything the feed learns
// reaches that thread through the poster it was handed, in the order found: first on_api(true)
// or on_api(false) once the probe was answered, then on_state for each answer of the long-poll
// (also for one that brought the revision already seen: its position is fresher). A posted task
// of a run that stop() ended does nothing when it runs later, so a handler never hears of an old
// server. Handlers run as ordinary posted tasks: they may be reached while the user-interface
// thread waits inside a request (EventLoopRunner); they must only note the state and queue work.
//
// Failure: a request that fails (no answer, a limit, an answer that is not the state) is retried
// after 0.25 s, doubling up to 4 s, and the HEAD is asked again first, so a server replaced by
// an old one meanwhile never sees an API request; nothing is shown to the user.
//
// Ending: a run is ended by setting the cancel flag its pending request watches; its thread then
// ends within about kFetchCancelCheck, or, where the request library cannot cancel (wine's
// WinInet), once the held request ends by itself. start() on a running feed does not wait for
// that, so a switch of server never holds up the window; the ended thread is joined later.
// stop() (and the destructor) waits for every thread of the feed. The transport's functions may
// be called from two threads at once around a switch.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fetch.h"
#include "server_state.h"

namespace dravo {

// How the feed reaches the server: the real HTTP calls unless a test hands in others. Called on
// the feed's thread; they must honour the limits' cancel flag.
struct FeedTransport {
    std::function<std::optional<std::string>(const std::string& url, const FetchLimits&)> head =
        head_content_type;
    // The body, or nothing when the answer did not arrive whole.
    std::function<std::optional<std::string>(const std::string& url, const FetchLimits&)> get;
};
FeedTransport http_transport();

struct FeedTiming {
    std::chrono::milliseconds first_retry{250};
    std::chrono::milliseconds last_retry{4000};
    std::chrono::milliseconds wait_total{35000};  // above the server's 25 s hold
    std::chrono::milliseconds connect{2000};
};

class StateFeed {
public:
    using Task = std::function<void()>;
    using Poster = std::function<void(Task)>;  // runs the task on the user-interface thread
    struct Handlers {
        std::function<void(bool offered)> on_api;
        std::function<void(const ServerState&)> on_state;
    };

    StateFeed(Poster post, Handlers handlers, FeedTransport transport = http_transport(),
              FeedTiming timing = {});
    ~StateFeed();
    StateFeed(const StateFeed&) = delete;
    StateFeed& operator=(const StateFeed&) = delete;

    // Ends a running feed without waiting for it, then feeds from the server at base_url (ending
    // in "/").
    void start(const std::string& base_url);
    // Ends the feed and waits for its threads.
    void stop();
    // The server of the running feed; empty when stopped.
    const std::string& server() const;

private:
    struct Run;
    struct EndedRun;
    void loop(const std::shared_ptr<Run>& run);
    void end_run();
    void post(const std::shared_ptr<Run>& run, std::function<void(Handlers&)> call);

    Poster post_;
    Handlers handlers_;
    FeedTransport transport_;
    FeedTiming timing_;
    std::shared_ptr<Run> run_;
    std::thread thread_;
    std::vector<EndedRun> ended_;  // told to end, not joined yet
};

}  // namespace dravo
