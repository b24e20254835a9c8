#include "avahi_link.h"

#include <avahi-common/timeval.h>

namespace dravo {
namespace {

constexpr unsigned kRetryMs = 5000;

template <typename Callback, typename... Args>
void call(const Callback& callback, Args... args) {
    if (callback) {
        callback(args...);
    }
}

}  // namespace

bool AvahiLink::start(Callbacks callbacks) {
    stop();
    callbacks_ = std::move(callbacks);
    poll_ = avahi_threaded_poll_new();
    if (!poll_) {
        return false;
    }
    // The first client is made on the link's thread, at once.
    const AvahiPoll* api = avahi_threaded_poll_get(poll_);
    timeval now{};
    retry_ = api->timeout_new(api, avahi_elapse_time(&now, 0, 0), &on_retry, this);
    if (!retry_ || avahi_threaded_poll_start(poll_) < 0) {
        stop();
        return false;
    }
    return true;
}

void AvahiLink::stop() {
    if (!poll_) {
        return;
    }
    avahi_threaded_poll_stop(poll_);
    if (client_) {
        avahi_client_free(client_);
    }
    avahi_threaded_poll_free(poll_);  // and the retry timer with it
    poll_ = nullptr;
    client_ = nullptr;
    retry_ = nullptr;
}

void AvahiLink::on_retry(AvahiTimeout*, void* self) { static_cast<AvahiLink*>(self)->connect(); }

void AvahiLink::on_client(AvahiClient* client, AvahiClientState state, void* self) {
    auto& link = *static_cast<AvahiLink*>(self);
    call(link.callbacks_.changed, client, state);
    if (state == AVAHI_CLIENT_FAILURE) {
        link.retry_later();  // a client is never freed in its own callback
    }
}

void AvahiLink::connect() {
    if (client_) {
        call(callbacks_.dropped);
        avahi_client_free(client_);
        client_ = nullptr;
    }
    int error = 0;
    client_ = avahi_client_new(avahi_threaded_poll_get(poll_), AVAHI_CLIENT_NO_FAIL, &on_client,
                               this, &error);
    if (!client_) {
        call(callbacks_.not_made, error);
        retry_later();
    }
}

void AvahiLink::retry_later() {
    const AvahiPoll* api = avahi_threaded_poll_get(poll_);
    timeval later{};
    api->timeout_update(retry_, avahi_elapse_time(&later, kRetryMs, 0));
}

}  // namespace dravo
