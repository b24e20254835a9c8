#include "command_table.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "media_cache.h"
#include "player_control.h"
#include "remote_protocol.h"
#include "server_settings.h"
#include "temp_dir.h"
#include "track_filter.h"

namespace dravo::test {
namespace {

class CommandTableTest : public ::testing::Test {
protected:
    // Runs path with the query and gives the body; the pieces stay in `pieces`.
    std::string run(const std::string& path, const QueryMap& query = {}) {
        pieces.clear();
        EXPECT_TRUE(table.run(
            path, query, [&](const std::string& piece) { pieces.push_back(piece); },
            [&] { return late = std::make_shared<LateAnswer>(); }))
            << path;
        std::string body;
        for (const auto& piece : pieces) {
            body += piece;
        }
        return body;
    }

    // Runs path and gives the messages it sent.
    std::vector<Message> sent_by(const std::string& path, const QueryMap& query = {}) {
        host.clear();
        run(path, query);
        return host.messages();
    }

    FakeHost host;
    PlayerControl player{host};
    ServerSettings settings;
    MuteMemory mute;
    CommandTable table{CommandEnv{host, player, settings, nullptr, mute}};
    std::vector<std::string> pieces;
    std::shared_ptr<LateAnswer> late;  // the answer a late command was handed
};

TEST_F(CommandTableTest, ValueQueriesAskOnceAndAnswerDecimalText) {
    host.play_state = 3;
    host.repeat = 1;
    host.shuffle = 0;
    EXPECT_EQ(sent_by("/get_playing"), std::vector<Message>{user_msg(op::play_state)});
    EXPECT_EQ(pieces, std::vector<std::string>{"3"});
    EXPECT_EQ(sent_by("/get_repeat"), std::vector<Message>{user_msg(op::get_repeat)});
    EXPECT_EQ(pieces, std::vector<std::string>{"1"});
    EXPECT_EQ(sent_by("/get_shuffle"), std::vector<Message>{user_msg(op::get_shuffle)});
    EXPECT_EQ(pieces, std::vector<std::string>{"0"});
    EXPECT_EQ(run("/version"), "dravo_srv v1.14");
    settings.edit([&](ServerValues& v) { v.current_filter = "a%20b"; });
    EXPECT_EQ(run("/get_filter"), "a%20b");
}

TEST_F(CommandTableTest, ButtonsSendOneCommandAndNoBody) {
    struct Case {
        const char* path;
        std::uintptr_t button;
    };
    for (const Case& c : {Case{"/next", button::next}, Case{"/prev", button::prev},
                          Case{"/pause", button::pause}, Case{"/stop", button::stop}}) {
        EXPECT_EQ(sent_by(c.path), std::vector<Message>{button_msg(c.button)}) << c.path;
        EXPECT_TRUE(pieces.empty());
    }
}

TEST_F(CommandTableTest, VolumeConversionsAreExactInversesFrom0To100) {
    for (std::uint32_t percent = 0; percent <= 100; ++percent) {
        run("/volume", {{"volume", std::to_string(percent)}});
        EXPECT_EQ(run("/get_volume"), std::to_string(percent)) << "player " << host.volume;
    }
    struct Case {
        const char* value;
        std::uintptr_t player_volume;
    };
    for (const Case& c :
         {Case{"100", 255}, Case{"50", 128}, Case{"1", 3}, Case{"0", 0}, Case{"90", 230},
          Case{"200", 510}, Case{" 7x", 18}, Case{"4294967295", 4294967295u}}) {
        EXPECT_EQ(sent_by("/volume", {{"volume", c.value}}),
                  std::vector<Message>{user_msg(op::volume, c.player_volume)})
            << c.value;
        EXPECT_TRUE(pieces.empty());
    }
}

TEST_F(CommandTableTest, MissingOrGarbageVolumeSetsZeroAndLeavesMuteAlone) {
    mute = {true, 77};
    EXPECT_EQ(sent_by("/volume"), std::vector<Message>{user_msg(op::volume, 0)});
    EXPECT_EQ(sent_by("/volume", {{"volume", "loud"}}),
              std::vector<Message>{user_msg(op::volume, 0)});
    EXPECT_TRUE(mute.muted);
    EXPECT_EQ(mute.saved_volume, 77);
}

TEST_F(CommandTableTest, TwoMutesRestoreTheVolume) {
    host.volume = 128;
    EXPECT_EQ(sent_by("/mute"),
              (std::vector<Message>{user_msg(op::volume, op::volume_query), user_msg(op::volume, 0),
                                    user_msg(op::volume, op::volume_query)}));
    EXPECT_EQ(pieces, std::vector<std::string>{"0"});
    EXPECT_EQ(run("/mute"), "50");
    EXPECT_EQ(host.volume, 128);
    EXPECT_FALSE(mute.muted);
}

TEST_F(CommandTableTest, MuteAtZeroSavesZeroAndAChangedVolumeMutesAgain) {
    host.volume = 0;
    EXPECT_EQ(run("/mute"), "0");
    EXPECT_TRUE(mute.muted);
    EXPECT_EQ(sent_by("/mute"),
              (std::vector<Message>{user_msg(op::volume, op::volume_query), user_msg(op::volume, 0),
                                    user_msg(op::volume, op::volume_query)}));
    EXPECT_FALSE(mute.muted);

    host.volume = 200;
    run("/mute");
    host.volume = 40;  // changed elsewhere while muted
    EXPECT_EQ(run("/mute"), "0");
    EXPECT_TRUE(mute.muted);
    EXPECT_EQ(mute.saved_volume, 40);
    EXPECT_EQ(run("/mute"), "16");
}

TEST_F(CommandTableTest, PlayWithTrackStopsAndSelectsFirst) {
    EXPECT_EQ(sent_by("/play", {{"track", "1"}}),
              (std::vector<Message>{button_msg(button::stop), user_msg(op::set_list_pos, 0),
                                    button_msg(button::play)}));
    EXPECT_EQ(sent_by("/play", {{"track", "12"}})[1], user_msg(op::set_list_pos, 11));
    EXPECT_EQ(sent_by("/play"), std::vector<Message>{button_msg(button::play)});
    const auto before_first = static_cast<std::uintptr_t>(-1);
    for (const char* value : {"", "abc"}) {
        EXPECT_EQ(sent_by("/play", {{"track", value}}),
                  (std::vector<Message>{button_msg(button::stop),
                                        user_msg(op::set_list_pos, before_first),
                                        button_msg(button::play)}))
            << value;
        EXPECT_TRUE(pieces.empty());
    }
}

TEST_F(CommandTableTest, PlaymodeSetsTogglesOrLeavesAlone) {
    EXPECT_EQ(sent_by("/playmode", {{"repeat", "on"}, {"shuffle", "off"}}),
              (std::vector<Message>{user_msg(op::set_repeat, 1), user_msg(op::set_shuffle, 0)}));
    EXPECT_EQ(host.repeat, 1);
    EXPECT_EQ(sent_by("/playmode", {{"repeat", "toggle"}}),
              (std::vector<Message>{user_msg(op::get_repeat), user_msg(op::set_repeat, 0)}));
    EXPECT_EQ(sent_by("/playmode", {{"repeat", "toggle"}}),
              (std::vector<Message>{user_msg(op::get_repeat), user_msg(op::set_repeat, 1)}));
    host.shuffle = 5;  // any non-zero state counts as on
    EXPECT_EQ(sent_by("/playmode", {{"shuffle", "toggle"}}),
              (std::vector<Message>{user_msg(op::get_shuffle), user_msg(op::set_shuffle, 0)}));
    EXPECT_EQ(sent_by("/playmode", {{"shuffle", "yes"}}),
              std::vector<Message>{user_msg(op::set_shuffle, 1)});
    EXPECT_TRUE(sent_by("/playmode").empty());
    EXPECT_TRUE(sent_by("/playmode", {{"repeat", ""}, {"other", "on"}}).empty());
    EXPECT_TRUE(pieces.empty());
}

TEST_F(CommandTableTest, TitleByPlayState) {
    host.titles = {"first", "second"};
    host.list_pos = 1;
    host.play_state = 0;
    EXPECT_EQ(sent_by("/title"), std::vector<Message>{user_msg(op::play_state)});
    EXPECT_TRUE(pieces.empty());
    host.play_state = 1;
    EXPECT_EQ(sent_by("/title"),
              (std::vector<Message>{user_msg(op::play_state), user_msg(op::list_pos),
                                    user_msg(op::title, 1)}));
    EXPECT_EQ(pieces, std::vector<std::string>{"second"});
    host.play_state = 3;
    EXPECT_EQ(run("/title"), "[paused] second");
    host.list_pos = 5;  // no title there
    EXPECT_EQ(run("/title"), "[paused] ");
}

TEST_F(CommandTableTest, ListSendsOneLinePerNamedEntryCutTo511Bytes) {
    EXPECT_EQ(sent_by("/list"), std::vector<Message>{user_msg(op::list_length)});
    EXPECT_TRUE(pieces.empty());
    const std::string long_name(600, 'n');
    host.files = {"/m/a.mp3", long_name, "/m/c.ogg"};
    EXPECT_EQ(run("/list"), "/m/a.mp3\n" + long_name.substr(0, 511) + "\n/m/c.ogg\n");
    // A long list arrives whole and in order, in a few large pieces rather than one a line.
    host.files.clear();
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        host.files.push_back("/music/track " + std::to_string(i) + ".mp3");
        expected += host.files.back() + "\n";
    }
    EXPECT_EQ(run("/list"), expected);
    EXPECT_LT(pieces.size(), 20u);
}

TEST_F(CommandTableTest, StatusHasFiveLinesAskedInOrder) {
    host.play_state = 1;
    host.repeat = 0;
    host.shuffle = 1;
    host.volume = 128;
    settings.edit([&](ServerValues& v) { v.current_filter = "beatles"; });
    EXPECT_EQ(
        sent_by("/status"),
        (std::vector<Message>{user_msg(op::play_state), user_msg(op::get_repeat),
                              user_msg(op::get_shuffle), user_msg(op::volume, op::volume_query)}));
    EXPECT_EQ(run("/status"), "playing: 1\nrepeat: 0\nshuffle: 1\nvolume: 50\nfilter: beatles\n");
    settings.edit([&](ServerValues& v) { v.current_filter = ""; });
    EXPECT_EQ(run("/status"), "playing: 1\nrepeat: 0\nshuffle: 1\nvolume: 50\nfilter: \n");
    settings.edit([&](ServerValues& v) {
        v.current_filter = "a\r\nb\n";
    });  // a decoded %0A must not add a line
    EXPECT_EQ(run("/status"), "playing: 1\nrepeat: 0\nshuffle: 1\nvolume: 50\nfilter: ab\n");
    // The client's reader takes the same answer apart into the keys it looks for.
    const std::string answer = run("/status");
    std::vector<std::pair<std::string, std::int32_t>> read;
    for (auto line : remote::answer_lines(answer)) {
        auto entry = remote::status_entry(line);
        read.emplace_back(entry.key, remote::status_number(entry.value));
    }
    EXPECT_EQ(
        read,
        (std::vector<std::pair<std::string, std::int32_t>>{
            {"playing:", 1}, {"repeat:", 0}, {"shuffle:", 1}, {"volume:", 50}, {"filter:", 0}}));
}

TEST_F(CommandTableTest, SeekAnswersTheNewPosition) {
    host.position_ms = 83456;
    host.length_s = 245;
    EXPECT_EQ(sent_by("/ffwd"),
              (std::vector<Message>{button_msg(button::forward_5s), user_msg(op::output_time, 0),
                                    user_msg(op::output_time, 1)}));
    EXPECT_EQ(pieces, std::vector<std::string>{"New position: [1:23 / 4:05]\n"});
    host.position_ms = 3723000;
    host.length_s = 7;
    EXPECT_EQ(sent_by("/rewind")[0], button_msg(button::back_5s));
    EXPECT_EQ(pieces, std::vector<std::string>{"New position: [62:03 / 0:07]\n"});
    host.position_ms = -1;
    host.length_s = -1;
    EXPECT_EQ(run("/ffwd"), "New position: [0:00 / 0:00]\n");
}

TEST_F(CommandTableTest, ShutdownPostsClose) {
    EXPECT_EQ(sent_by("/shutdown"), (std::vector<Message>{{msg::close, 0, 0, {}, true}}));
    EXPECT_TRUE(pieces.empty());
}

TEST_F(CommandTableTest, UnknownPathsRunNothing) {
    for (const char* path : {"/Status", "/status/", "/play/", "", " ", "/update "}) {
        EXPECT_FALSE(table.run(path, {}, [](const std::string&) {}, {})) << path;
    }
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(CommandTableTest, SetFilterAnswersOkAndGetFilterGivesTheDecodedText) {
    TempDir root, module, tmp;
    ScopedEnv tmp_env("TMP", tmp.path().c_str());
    write_file(root.slash() + "Beatles/Help.mp3");
    settings.edit([&](ServerValues& v) { v.media_root = root.path(); });
    settings.set_file_name(module.slash() + kServerIniName);
    MediaCache cache(module.slash());
    TrackFilter filter(cache, player);
    CommandTable with_filter(CommandEnv{host, player, settings, &filter, mute});
    std::string body;
    auto collect = [&](const std::string& piece) { body += piece; };
    EXPECT_TRUE(with_filter.run("/set_filter", {{"filter", "the%20beatles"}}, collect, {}));
    EXPECT_EQ(body, "ok");
    EXPECT_EQ(host.files, std::vector<std::string>{tmp.slash() + kTempPlaylistName});
    body.clear();
    with_filter.run("/get_filter", {}, collect, {});
    EXPECT_EQ(body, "the beatles");
    body.clear();
    with_filter.run("/set_filter", {}, collect, {});  // no key: the empty filter
    EXPECT_EQ(body, "ok");
    EXPECT_EQ(settings.current_filter(), "");
    // Without a media library the answer is the same.
    EXPECT_EQ(run("/set_filter", {{"filter", "x"}}), "ok");
}

}  // namespace
}  // namespace dravo::test
