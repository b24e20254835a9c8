// The command protocol's shared pieces: command texts, status lines and reading an answer.
#include <gtest/gtest.h>

#include "remote_protocol.h"

namespace dravo {
namespace {

TEST(RemoteProtocol, AnswerLinesAndWords) {
    using remote::answer_lines;
    EXPECT_EQ(answer_lines("a\n\nb\r\nc"), (std::vector<std::string_view>{"a", "", "b\r", "c"}));
    EXPECT_EQ(answer_lines("a\n"), std::vector<std::string_view>{"a"});
    EXPECT_TRUE(answer_lines("").empty());
    const auto entry = remote::status_entry(" \tvolume:  40 x\r");
    EXPECT_EQ(entry.key, "volume:");
    EXPECT_EQ(entry.value, "40");
    EXPECT_EQ(remote::command_text(remote::kVolume, remote::kVolumeKey, "5"), "volume?volume=5");
    EXPECT_EQ(remote::status_line(remote::kPlayingKey, "1"), "playing: 1\n");
}

}  // namespace
}  // namespace dravo
