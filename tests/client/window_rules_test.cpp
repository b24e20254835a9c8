// The window's rules without a window: slider steps and placement at the cursor.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dravo::test
