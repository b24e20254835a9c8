#pragma once
// The page's change counter: reads the player's state (PageState) when it may have changed and
// counts a revision whenever it differs from the last reading, and a list revision whenever the
// playlist does. Reads happen at once after a command (mark_dirty) or a waiter's arrival, and
// every kWatchPeriodMs while anyone waits, so a change made in the player itself is seen
// within that period; nobody waiting, nothing is read. Listener thread only. The reader does
// the host's sends; it must not throw.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "page_state.h"

namespace dravo {

inline constexpr int kWatchPeriodMs = 50;

class PageWatch {
public:
    using Clock = std::chrono::steady_clock;
    using Reader = std::function<PageState()>;

    // first_revision: differs between starts, so a page that saw another run asks afresh.
    PageWatch(Reader reader, std::uint64_t first_revision);

    // Reads when due (see above).
    void watch(Clock::time_point now, bool anyone_waits);
    // Reads now.
    void refresh(Clock::time_point now);
    // Reads unless the last reading is younger than kWatchPeriodMs and no command came since:
    // a crowd of arriving long-polls costs one reading per period, not one each.
    void refresh_if_stale(Clock::time_point now);
    void mark_dirty() { dirty_ = true; }

    std::uint64_t revision() const { return revision_; }
    std::uint64_t list_revision() const { return list_revision_; }
    const PageState& state() const { return state_; }
    // The last reading as the page's JSON.
    const std::string& json() const { return json_; }

private:
    Reader reader_;
    PageState state_;
    std::string json_;
    std::uint64_t revision_;
    std::uint64_t list_revision_;
    bool dirty_ = true;
    bool read_once_ = false;
    Clock::time_point last_read_{};
};

// A revision that differs between starts: the wall clock in milliseconds.
std::uint64_t first_page_revision();

}  // namespace dravo
