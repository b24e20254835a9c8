#pragma once
// The server's pushed state joined to the client's session: a StateFeed on the session's current
// server, started by start(), restarted when a batch of operations ends on another server (after
// "Server"), its answers handed to RemoteSession::set_api_offered and take_pushed_state. Against
// a server without the API only the feed's HEAD goes out; the session behaves as without a feed.
// Construct, start and destroy on the user-interface thread, after the session and before it is
// destroyed; the poster must run its tasks on that thread (and may drop them once the thread's
// loop has ended). Destruction stops the feed (see StateFeed: promptly, the pending request
// cancelled). Nothing fails: the feed retries by itself and shows nothing.
#include <memory>

#include "state_feed.h"
#include "subscription.h"

namespace dravo {

class RemoteSession;

class SessionFeed {
public:
    SessionFeed(RemoteSession& session, StateFeed::Poster post,
                FeedTransport transport = http_transport(), FeedTiming timing = {});
    ~SessionFeed();
    SessionFeed(const SessionFeed&) = delete;
    SessionFeed& operator=(const SessionFeed&) = delete;

    void start();
    void stop() { feed_.stop(); }

private:
    void follow_server();

    RemoteSession& session_;
    StateFeed feed_;
    Subscription after_operations_;
};

}  // namespace dravo
