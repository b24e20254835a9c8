#include "sleep_timer.h"

#include <algorithm>

namespace dravo {
namespace {

constexpr std::int64_t kMinuteMs = 60 * 1000;
// Past this the clock's milliseconds would overflow; nobody sleeps for 17 million years.
constexpr std::int64_t kMostMinutes = std::int64_t{1} << 40;

}  // namespace

SleepTimer::SleepTimer(Clock now_ms) : now_ms_(std::move(now_ms)) {}

void SleepTimer::start(std::int64_t hours, std::int64_t minutes) {
    const std::int64_t total = std::clamp<std::int64_t>(hours, 0, kMostMinutes) * 60 +
                               std::clamp<std::int64_t>(minutes, 0, kMostMinutes);
    minutes_ = std::max<std::int64_t>(total, 0);
    period_ms_ = minutes_ * kMinuteMs;
    start_ms_ = now_ms_();
    deadline_ = start_ms_ + period_ms_;
}

std::optional<int> SleepTimer::next_wait_ms() const {
    if (!deadline_) {
        return std::nullopt;
    }
    const std::int64_t left = std::max<std::int64_t>(*deadline_ - now_ms_(), 0);
    return static_cast<int>(std::min<std::int64_t>(left, kLongestSleepWaitMs));
}

bool SleepTimer::due() const { return deadline_ && now_ms_() >= *deadline_; }

std::string SleepTimer::button_text() const {
    if (!deadline_) {
        return "Sleep";
    }
    const std::int64_t elapsed_minutes = (now_ms_() - start_ms_) / kMinuteMs;
    const std::int64_t left = std::max<std::int64_t>(minutes_ - elapsed_minutes, 0);
    return std::to_string(left / 60) + "h" + std::to_string(left % 60) + "m";
}

}  // namespace dravo
