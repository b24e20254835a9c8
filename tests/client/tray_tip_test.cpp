// The tray tip's length in characters, never a cut UTF-8 sequence.
#include <gtest/gtest.h>

#include "tray_tip.h"

namespace dravo::test {
namespace {

TEST(WindowRules, TrayTip) {
    EXPECT_EQ(tray_tip_text(std::string(200, 'x')), std::string(127, 'x'));
    EXPECT_EQ(tray_tip_text("100% <b>loud</b> & clear"), "100% <b>loud</b> & clear");
    std::string accented;
    for (int i = 0; i < 130; ++i) {
        accented += "\xc3\xa5";  // å, two bytes each
    }
    EXPECT_EQ(tray_tip_text(accented), accented.substr(0, 254));
}

}  // namespace
}  // namespace dravo::test
