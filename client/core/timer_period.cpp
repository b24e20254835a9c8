#include "timer_period.h"

#include <algorithm>
#include <limits>

namespace dravo {
namespace {

constexpr std::int64_t kShortestPeriodMs = 10;

}  // namespace

int timer_period_ms(std::int64_t seconds) {
    constexpr std::int64_t longest = std::numeric_limits<int>::max();
    const std::int64_t capped = std::clamp<std::int64_t>(seconds, 0, longest / 1000 + 1);
    return static_cast<int>(std::clamp(capped * 1000, kShortestPeriodMs, longest));
}

}  // namespace dravo
