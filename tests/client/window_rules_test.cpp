// The window's rules without a window: slider steps, placement at the cursor, the tray tip, timer
// periods and the sleep timer's deadline and countdown.
#include <gtest/gtest.h>

#include "sleep_timer.h"
#include "window_rules.h"

namespace dravo::test {
namespace {

TEST(WindowRules, VolumeSliderSteps) {
    struct Row {
        VolumeScroll scroll;
        int volume;
        int position;
        std::optional<int> sent;
    };
    const Row rows[] = {
        {VolumeScroll::line_up, 95, 5, 105},  // clamped to 100 by set_volume
        {VolumeScroll::line_down, 50, 50, 40},  {VolumeScroll::page_up, 50, 50, 70},
        {VolumeScroll::page_down, 10, 90, -10}, {VolumeScroll::thumb, 50, 0, 100},
        {VolumeScroll::thumb, 50, 73, 27},      {VolumeScroll::top, 3, 97, 100},
        {VolumeScroll::bottom, 97, 3, 0},       {VolumeScroll::other, 50, 50, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(volume_after_scroll(row.scroll, row.volume, row.position), row.sent)
            << static_cast<int>(row.scroll) << " at " << row.volume;
    }
}

TEST(WindowRules, PlaceAtCursor) {
    struct Row {
        int cursor_x, cursor_y, width, height, work_right;
        int x, y;
    };
    const Row rows[] = {
        {500, 700, 450, 230, 1024, 500, 470},  // bottom edge at the cursor
        {500, 100, 450, 230, 1024, 500, 0},    // top clamped at 0
        {900, 700, 450, 230, 1024, 574, 470},  // right edge at the work area's
        {574, 700, 450, 230, 1024, 574, 470},  // just fits
        {-50, 700, 450, 230, 1024, -50, 470},  // no limit on the left
    };
    for (const auto& row : rows) {
        const auto place =
            place_at_cursor(row.cursor_x, row.cursor_y, row.width, row.height, row.work_right);
        EXPECT_EQ(place.x, row.x) << row.cursor_x << "," << row.cursor_y;
        EXPECT_EQ(place.y, row.y) << row.cursor_x << "," << row.cursor_y;
    }
}

TEST(WindowRules, TrayTipAndTimerPeriods) {
    EXPECT_EQ(tray_tip_text(std::string(200, 'x')), std::string(127, 'x'));
    EXPECT_EQ(tray_tip_text("100% <b>loud</b> & clear"), "100% <b>loud</b> & clear");
    std::string accented;
    for (int i = 0; i < 130; ++i) accented += "\xc3\xa5";  // å, two bytes each
    EXPECT_EQ(tray_tip_text(accented), accented.substr(0, 254));

    EXPECT_EQ(timer_period_ms(3), 3000);
    EXPECT_EQ(timer_period_ms(0), 10);
    EXPECT_EQ(timer_period_ms(-4), 10);
    EXPECT_EQ(timer_period_ms(std::int64_t{1} << 40), std::numeric_limits<int>::max());
}

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
