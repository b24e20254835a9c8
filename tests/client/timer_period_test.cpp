// Timer periods from the settings' seconds, clamped to what a window timer takes.
#include <gtest/gtest.h>

#include <limits>

#include "timer_period.h"

namespace dravo::test {
namespace {

TEST(WindowRules, TimerPeriods) {
    EXPECT_EQ(timer_period_ms(3), 3000);
    EXPECT_EQ(timer_period_ms(0), 10);
    EXPECT_EQ(timer_period_ms(-4), 10);
    EXPECT_EQ(timer_period_ms(std::int64_t{1} << 40), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace dravo::test
