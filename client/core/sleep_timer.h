#pragma once
// The sleep timer's state: when the set time runs out and what the Sleep button reads meanwhile.
// It keeps a deadline on a monotonic clock instead of one long platform timer, so any sleep time
// runs exactly: the window arms its timer for next_wait_ms() (never longer than a Qt timer
// takes) and, when that fires before the deadline, simply arms it again.
// User-interface thread only. Nothing fails; negative sleep times count as 0 (stop at once).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "steady_clock.h"

namespace dravo {

inline constexpr const char* kSleepVerse =
    "Twinkle, twinkle, little star... How I wonder what you are.";
inline constexpr int kLongestSleepWaitMs = 24 * 60 * 60 * 1000;  // one day per platform timer

class SleepTimer {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, never going back

    explicit SleepTimer(Clock now_ms = steady_clock_ms);

    // A fresh run of hours * 60 + minutes minutes from now.
    void start(std::int64_t hours, std::int64_t minutes);
    void cancel() { deadline_.reset(); }
    bool running() const { return deadline_.has_value(); }
    std::int64_t period_ms() const { return period_ms_; }
    // How long to wait before looking again; nothing when no run is on.
    std::optional<int> next_wait_ms() const;
    // The deadline has passed.
    bool due() const;
    // "Sleep" when idle, else the whole minutes left as hours and minutes: "1h5m", "0h59m".
    std::string button_text() const;

private:
    Clock now_ms_;
    std::int64_t start_ms_ = 0;
    std::int64_t period_ms_ = 0;
    std::int64_t minutes_ = 0;
    std::optional<std::int64_t> deadline_;
};

}  // namespace dravo
