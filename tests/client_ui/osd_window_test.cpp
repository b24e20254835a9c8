// The on-screen display on the offscreen platform: what it draws, where, for how long, and that
// it never takes the focus or the mouse.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "osd_window.h"

namespace dravo::test {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kRim = qRgb(0, 63, 0);

struct Census {
    int green = 0;
    int rim = 0;
    int clear = 0;
    int lowest_green = -1;  // row
    int rightmost_green = -1;
};

Census census(const QImage& picture) {
    Census count;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                ++count.clear;
            } else if ((pixel | 0xff000000) == kGreen) {
                ++count.green;
                count.lowest_green = std::max(count.lowest_green, y);
                count.rightmost_green = std::max(count.rightmost_green, x);
            } else if ((pixel | 0xff000000) == kRim) {
                ++count.rim;
            }
        }
    }
    return count;
}

TEST(OsdWindow, DrawsGreenLettersWithADarkRimOnNothing) {
    struct Row {
        std::string text;
        int outline;
        bool rim;
        bool second_line;
        bool reaches_edge;
    };
    const Row rows[] = {
        {"Stop", 3, true, false, false},
        {"Stop", 0, false, false, false},
        {"Rock & Roll\nLine two", 3, true, true, false},
        {std::string(400, 'W'), 1, true, false, true},  // clipped at the edge, not wrapped
    };
    for (const auto& row : rows) {
        OsdWindow osd;
        ASSERT_TRUE(osd.init(true, 4, row.outline));
        osd.show(row.text);
        const QWidget* window = osd.window();
        ASSERT_TRUE(window->isVisible());
        EXPECT_EQ(window->height(), kOsdHeight);
        const Census count = census(osd.picture());
        EXPECT_GT(count.green, 200) << row.text;
        EXPECT_EQ(count.rim > 100, row.rim) << row.text;
        EXPECT_GT(count.clear, count.green) << row.text;
        EXPECT_EQ(count.lowest_green > kOsdMargin + kOsdFontCell + 5, row.second_line) << row.text;
        EXPECT_EQ(count.rightmost_green >= osd.picture().width() - 40, row.reaches_edge)
            << row.text;
        EXPECT_EQ(qAlpha(osd.picture().pixel(kOsdMargin - 5 - row.outline, kOsdMargin)), 0);
    }
}

TEST(OsdWindow, NeverTakesFocusOrMouse) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(true, 4, 3));
    osd.show("Volume 40%: A - B");
    const QWidget* window = osd.window();
    const auto flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTransparentForInput);
    EXPECT_TRUE(flags & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(window->isActiveWindow());
    // Offscreen there is no compositor: the window is cut to the drawn pixels.
    EXPECT_FALSE(window->mask().isEmpty());
    EXPECT_FALSE(window->mask().contains(QPoint(2, 2)));
}

TEST(OsdWindow, SwitchedOffShowsAndKeepsNothing) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(false, 4, 3));
    osd.show("Stop");
    EXPECT_EQ(osd.text(), "");
    EXPECT_FALSE(osd.window()->isVisible());
}

TEST(OsdWindow, ASecondTextReplacesTheFirstAndItsTime) {
    OsdWindow osd;
    ASSERT_TRUE(osd.init(true, 4, 3));
    osd.show("one");
    QTest::qWait(1000);
    const int left_of_first = osd.remaining_ms();
    osd.show("two");
    EXPECT_EQ(osd.text(), "two");
    EXPECT_GT(osd.remaining_ms(), left_of_first);

    ASSERT_TRUE(osd.init(true, 0, 3));  // a duration of 0 ends at the first tick
    osd.show("gone");
    EXPECT_TRUE(QTest::qWaitFor([&] { return osd.text().empty(); }, 10'000));
    EXPECT_FALSE(osd.window()->isVisible());
}

}  // namespace
}  // namespace dravo::test
