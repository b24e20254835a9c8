#include "state_feed.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sstream>

#include "remote_protocol.h"
#include "steady_clock.h"
#include "text.h"

namespace dravo {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// A wait answered this soon with no change would make the loop spin: it backs off instead.
constexpr milliseconds kShortestIdleWait{1000};

bool is_json(const std::string& content_type) {
    return lower_case(content_type).rfind("application/json", 0) == 0;
}

template <typename Handler, typename Value>
void call(const Handler& handler, const Value& value) {
    if (handler) {
        handler(value);
    }
}

}  // namespace

FeedTransport http_transport() {
    FeedTransport transport;
    transport.get = [](const std::string& url,
                       const FetchLimits& limits) -> std::optional<std::string> {
        std::ostringstream body;
        if (!fetch_url(body, url, kTransferAscii, limits)) {
            return std::nullopt;
        }
        return std::move(body).str();
    };
    return transport;
}

struct StateFeed::Run {
    std::string base;
    std::atomic<bool> cancel{false};    // set once the run was ended
    std::atomic<bool> finished{false};  // its thread has left the loop
    std::mutex mutex;                   // guards nothing but the pause's wake-up
    std::condition_variable wake;

    explicit Run(std::string base_url) : base(std::move(base_url)) {}
    // False once the run was ended.
    bool pause(milliseconds delay) {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, delay, [this] { return cancel.load(); });
        return !cancel;
    }
};

struct StateFeed::EndedRun {
    std::shared_ptr<Run> run;
    std::thread thread;
};

StateFeed::StateFeed(Poster post, Handlers handlers, FeedTransport transport, FeedTiming timing)
    : post_(std::move(post)), handlers_(std::move(handlers)), transport_(std::move(transport)),
      timing_(timing) {}

StateFeed::~StateFeed() { stop(); }

void StateFeed::start(const std::string& base_url) {
    end_run();
    std::erase_if(ended_, [](EndedRun& ended) {
        if (!ended.run->finished) {
            return false;
        }
        ended.thread.join();
        return true;
    });
    run_ = std::make_shared<Run>(base_url);
    thread_ = std::thread([this, run = run_] {
        loop(run);
        run->finished = true;
    });
}

const std::string& StateFeed::server() const {
    static const std::string none;
    return run_ ? run_->base : none;
}

void StateFeed::stop() {
    end_run();
    for (auto& ended : ended_) {
        ended.thread.join();
    }
    ended_.clear();
}

void StateFeed::end_run() {
    if (!run_) {
        return;
    }
    {
        std::lock_guard lock(run_->mutex);
        run_->cancel = true;
    }
    run_->wake.notify_all();
    ended_.push_back({std::move(run_), std::move(thread_)});
    run_.reset();
}

void StateFeed::post(const std::shared_ptr<Run>& run, std::function<void(Handlers&)> call) {
    post_([this, run, call = std::move(call)] {
        if (!run->cancel) {
            call(handlers_);
        }
    });
}

void StateFeed::loop(const std::shared_ptr<Run>& run) {
    const FetchLimits ask{timing_.connect, timing_.connect * 2, &run->cancel};
    const FetchLimits wait{timing_.connect, timing_.wait_total, &run->cancel};
    milliseconds delay{0};
    const auto back_off = [&] {
        delay = std::clamp(delay * 2, timing_.first_retry, timing_.last_retry);
    };
    bool offered = false;  // the HEAD said JSON since the last failure
    bool told = false;
    std::uint64_t since = 0;
    std::optional<std::pair<int, std::uint64_t>> listed;  // entry and list revision read
    std::string file;
    while (run->pause(delay)) {
        if (!offered) {
            const auto type =
                transport_.head(run->base + remote::command_text(remote::kApiState), ask);
            if (!type) {
                back_off();
                continue;
            }
            if (!is_json(*type)) {
                post(run, [](Handlers& h) { call(h.on_api, false); });
                return;  // a server without the API: asked once, never again
            }
            offered = true;
            if (!told) {
                told = true;
                post(run, [](Handlers& h) { call(h.on_api, true); });
            }
        }
        const auto asked = SteadyClock::now();
        const auto body =
            transport_.get(run->base + remote::command_text(remote::kApiWait, remote::kSinceKey,
                                                            std::to_string(since)),
                           wait);
        if (run->cancel) {
            return;  // ended while the request was held: nothing more goes out
        }
        auto state = body ? parse_server_state(*body) : std::nullopt;
        if (!state) {
            offered = false;
            back_off();
            continue;
        }
        state->read_ms = steady_clock_ms();
        const bool idle = state->revision == since;
        delay = idle && SteadyClock::now() - asked < kShortestIdleWait ? timing_.last_retry
                                                                       : milliseconds{0};
        if (state->index >= 0 && listed != std::pair{state->index, state->list_revision}) {
            const auto page =
                transport_.get(run->base +
                                   remote::command_text(remote::kApiList, remote::kOffsetKey,
                                                        std::to_string(state->index)) +
                                   "&" + std::string(remote::kCountKey) + "=1",
                               ask);
            file = page ? parse_list_entry(*page, state->index).value_or("") : "";
            if (page) {
                listed = std::pair{state->index, state->list_revision};  // else asked again
            }
        }
        state->file = file;
        since = state->revision;
        post(run, [s = *state](Handlers& h) { call(h.on_state, s); });
    }
}

}  // namespace dravo
