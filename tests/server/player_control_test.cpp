#include "player_control.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace dravo::test {
namespace {

TEST(PlayerControl, ButtonsSendTheirCommandNumbers) {
    FakeHost host;
    PlayerControl player(host);
    player.prev();
    player.play();
    player.pause();
    player.stop();
    player.next();
    player.forward_5s();
    player.back_5s();
    std::vector<Message> expected;
    for (std::uintptr_t c : {40044u, 40045u, 40046u, 40047u, 40048u, 40060u, 40061u}) {
        expected.push_back({273, c, 0, {}, false});
    }
    EXPECT_EQ(host.messages(), expected);
}

TEST(PlayerControl, QueriesUseOperationInLparamAndPassResultsThrough) {
    FakeHost host;
    host.play_state = 3;
    host.position_ms = 83456;
    host.length_s = -1;
    host.volume = 200;
    host.shuffle = 1;
    host.repeat = 0;
    host.list_pos = 4;
    host.files = {"a", "b"};
    PlayerControl player(host);
    EXPECT_EQ(player.play_state(), 3);
    EXPECT_EQ(player.position_ms(), 83456);
    EXPECT_EQ(player.length_s(), -1);
    EXPECT_EQ(player.volume(), 200);
    EXPECT_EQ(player.shuffle(), 1);
    EXPECT_EQ(player.repeat(), 0);
    EXPECT_EQ(player.list_pos(), 4);
    EXPECT_EQ(player.list_length(), 2);
    std::vector<Message> expected = {
        user_msg(104), user_msg(105, 0), user_msg(105, 1), user_msg(122, op::volume_query),
        user_msg(250), user_msg(251),    user_msg(125),    user_msg(124)};
    EXPECT_EQ(host.messages(), expected);
    // -666 travels as the wparam bit pattern of a negative number.
    EXPECT_EQ(static_cast<std::intptr_t>(host.messages()[3].wparam), -666);
}

TEST(PlayerControl, SettersCarryTheirArgumentInWparam) {
    FakeHost host;
    PlayerControl player(host);
    player.clear_playlist();
    player.set_list_pos(2);
    player.set_volume(255);
    player.set_shuffle(1);
    player.set_repeat(0);
    std::vector<Message> expected = {user_msg(101), user_msg(121, 2), user_msg(122, 255),
                                     user_msg(252, 1), user_msg(253, 0)};
    EXPECT_EQ(host.messages(), expected);
}

TEST(PlayerControl, TextsAreCopiedAndMissingOnesAreEmpty) {
    FakeHost host;
    host.files = {"/m/a.mp3", "/m/b.mp3"};
    host.titles = {"Artist - A"};
    PlayerControl player(host);
    auto first = player.file_name(0);
    auto second = player.file_name(1);  // reuses the host's buffer: the first copy must survive
    EXPECT_EQ(first, "/m/a.mp3");
    EXPECT_EQ(second, "/m/b.mp3");
    EXPECT_EQ(player.title(0), "Artist - A");
    EXPECT_EQ(player.title(1), std::nullopt);
    EXPECT_EQ(player.file_name(-1), std::nullopt);
}

TEST(PlayerControl, AddFileSendsCopyDataWithTerminatedPath) {
    FakeHost host;
    PlayerControl player(host);
    player.add_file("/tmp/list.m3u");
    ASSERT_EQ(host.messages().size(), 1u);
    auto m = host.messages()[0];
    EXPECT_EQ(m.message, 74u);
    EXPECT_EQ(m.wparam, 0u);
    EXPECT_EQ(m.lparam, 100);  // dwData, as recorded by the fake
    EXPECT_EQ(m.data, "/tmp/list.m3u");
}

TEST(PlayerControl, CloseIsPostedNotSent) {
    FakeHost host;
    PlayerControl player(host);
    EXPECT_TRUE(player.close());
    std::vector<Message> expected = {{16, 0, 0, {}, true}};
    EXPECT_EQ(host.messages(), expected);
}

}  // namespace
}  // namespace dravo::test
