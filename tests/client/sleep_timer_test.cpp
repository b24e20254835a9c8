// The sleep timer's deadline and countdown, on a clock the test sets.
#include <gtest/gtest.h>

#include "sleep_timer.h"

namespace dravo::test {
namespace {

class SleepTimerTest : public ::testing::Test {
protected:
    std::int64_t now = 1'000'000;
    SleepTimer timer{[this] { return now; }};
};

TEST_F(SleepTimerTest, CountdownTexts) {
    EXPECT_EQ(timer.button_text(), "Sleep");
    timer.start(0, 90);
    EXPECT_EQ(timer.period_ms(), 90 * 60'000);
    struct Row {
        std::int64_t elapsed_ms;
        const char* text;
    };
    for (const auto& row :
         {Row{0, "1h30m"}, Row{59'999, "1h30m"}, Row{60'000, "1h29m"}, Row{25 * 60'000, "1h5m"},
          Row{31 * 60'000, "0h59m"}, Row{90 * 60'000, "0h0m"}, Row{200 * 60'000, "0h0m"}}) {
        now = 1'000'000 + row.elapsed_ms;
        EXPECT_EQ(timer.button_text(), row.text) << row.elapsed_ms;
    }
    timer.cancel();
    EXPECT_EQ(timer.button_text(), "Sleep");
}

TEST_F(SleepTimerTest, LongSleepTimesRunExactlyInSeveralWaits) {
    timer.start(1000, 1);  // far beyond one platform timer
    const std::int64_t deadline = now + (1000 * 60 + 1) * std::int64_t{60'000};
    int waits = 0;
    while (!timer.due()) {
        const auto wait = timer.next_wait_ms();
        ASSERT_TRUE(wait);
        ASSERT_LE(*wait, kLongestSleepWaitMs);
        now += *wait;
        ++waits;
    }
    EXPECT_EQ(now, deadline);
    EXPECT_EQ(waits, 42);  // 41 full days and the rest
}

TEST_F(SleepTimerTest, NegativePartsCountAsNothing) {
    struct Row {
        int hours, minutes;
        std::int64_t period;
    };
    for (const auto& row : {Row{0, 0, 0}, Row{-3, 5, 5 * 60'000}, Row{2, -1, 120 * 60'000}}) {
        timer.start(row.hours, row.minutes);
        EXPECT_EQ(timer.period_ms(), row.period) << row.hours << " " << row.minutes;
        EXPECT_EQ(timer.due(), row.period == 0);
    }
}

}  // namespace
}  // namespace dravo::test
