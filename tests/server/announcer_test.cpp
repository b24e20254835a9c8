#include "announcer.h"

#include <gtest/gtest.h>

namespace dravo::test {
namespace {

TEST(Announcer, SettingAndBindAddressDecideWhetherToAnnounce) {
    struct Case {
        const char* setting;
        const char* bind_address;
        bool announce;
    };
    const Case cases[] = {
        {"", "", true},
        {"1", "", true},
        {"on", "192.168.1.5", true},
        {"0", "", false},
        {" Off ", "", false},
        {"no", "", false},
        {"FALSE", "", false},
        {"", "127.0.0.1", false},
        {"", " 127.0.1.1 ", false},
        {"on", "localhost", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(should_announce(c.setting, c.bind_address), c.announce)
            << c.setting << " / " << c.bind_address;
    }
}

TEST(Announcer, TextsSayWhetherThePageIsServedAndWhere) {
    Announcement what{"dravo on box", 8081, false, "/"};
    EXPECT_EQ(announcement_texts(what),
              (std::vector<std::string>{"txtvers=1", "protocol=1", "page=no", "path=/"}));
    what.serves_page = true;
    EXPECT_EQ(announcement_texts(what)[2], "page=yes");
}

}  // namespace
}  // namespace dravo::test
