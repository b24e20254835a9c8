#pragma once
// A client of the Avahi daemon, kept up on a thread of its own (Avahi's threaded poll), for the
// plug-in's announcer and the client's network browser. The first client is made at once on that
// thread; one made while the daemon is away waits for it and follows it when it restarts
// (AVAHI_CLIENT_NO_FAIL); one that cannot be made (no system bus) or that fails later is replaced
// every 5 s.
// Threads: start(), stop() and the destructor on the owner's thread, never from a callback. The
// callbacks run on the link's thread; they may make browsers, resolvers and entry groups on the
// client and free them, but never the client. What was made on a client goes with it: dropped()
// comes first, so the owner forgets it. After stop() no callback runs and the owner may reset its
// state on its own thread.
// Failures: start() is false when the thread cannot be made; nothing else is an error.
#include <avahi-client/client.h>
#include <avahi-common/thread-watch.h>

#include <functional>

namespace dravo {

class AvahiLink {
public:
    struct Callbacks {
        // Each state of the current client. After AVAHI_CLIENT_FAILURE the link makes a new one.
        std::function<void(AvahiClient* client, AvahiClientState state)> changed;
        // The client is about to be freed with everything made on it.
        std::function<void()> dropped;
        // No client could be made (Avahi's error code); the link tries again later.
        std::function<void(int error)> not_made;
    };

    AvahiLink() = default;
    ~AvahiLink() { stop(); }
    AvahiLink(const AvahiLink&) = delete;
    AvahiLink& operator=(const AvahiLink&) = delete;

    bool start(Callbacks callbacks);
    // Ends the thread, then frees the client with everything made on it. Harmless when stopped.
    void stop();

private:
    static void on_retry(AvahiTimeout*, void* self);
    static void on_client(AvahiClient* client, AvahiClientState state, void* self);
    void connect();
    void retry_later();

    Callbacks callbacks_;
    AvahiThreadedPoll* poll_ = nullptr;
    AvahiClient* client_ = nullptr;
    AvahiTimeout* retry_ = nullptr;
};

}  // namespace dravo
