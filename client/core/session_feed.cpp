#include "session_feed.h"

#include "remote_session.h"

namespace dravo {

SessionFeed::SessionFeed(RemoteSession& session, StateFeed::Poster post, FeedTransport transport,
                         FeedTiming timing)
    : session_(session),
      feed_(
          std::move(post),
          {[this](bool offered) { session_.set_api_offered(feed_.server(), offered); },
           [this](const ServerState& state) { session_.take_pushed_state(feed_.server(), state); }},
          std::move(transport), timing) {
    after_operations_ = session.add_after_operations([this] { follow_server(); });
}

// The listener goes first (declared last), then the feed, whose end joins its thread.
SessionFeed::~SessionFeed() = default;

void SessionFeed::start() { feed_.start(session_.server_url()); }

void SessionFeed::follow_server() {
    const std::string now = session_.server_url();
    if (feed_.server().empty() || feed_.server() == now) {  // stopped, or no change
        return;
    }
    feed_.start(now);  // the session forgot the old server's API when it changed server
}

}  // namespace dravo
