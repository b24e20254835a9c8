// Message numbers, arguments and results as plug-ins send them.
#include <gtest/gtest.h>

#include "fake_audio_engine.h"
#include "message_dispatcher.h"
#include "plugin_abi.h"
#include "temp_dir.h"

namespace dravo {
namespace {

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest()
        : model(
              engine, [](const std::string& path) { return "title of " + path; }, 3),
          dispatcher(model, [this] { ++close_requests; }) {
        engine.add_track("/m/a.mp3", 4000);
        engine.add_track("/m/b.mp3", 4000);
        model.add({"/m/a.mp3", "/m/b.mp3"});
    }
    std::intptr_t user(std::intptr_t operation, std::uintptr_t argument = 0) {
        return dispatcher.dispatch({msg::user, argument, operation}, false).value;
    }
    void button(std::uintptr_t command) { dispatcher.dispatch({msg::command, command, 0}, false); }
    std::optional<std::string> text(std::intptr_t operation, std::uintptr_t index) {
        return dispatcher.dispatch({msg::user, index, operation}, false).text;
    }
    std::intptr_t add(const void* data, std::uint32_t size, std::uintptr_t kind = op::play_file,
                      bool posted = false) {
        CopyDataRecord record{kind, size, const_cast<void*>(data)};
        return dispatcher
            .dispatch({msg::copy_data, 0, reinterpret_cast<std::intptr_t>(&record)}, posted)
            .value;
    }

    FakeAudioEngine engine;
    PlayerModel model;
    MessageDispatcher dispatcher;
    int close_requests = 0;
};

TEST_F(DispatcherTest, ButtonsDriveTheTransport) {
    EXPECT_EQ(user(op::play_state), 0);
    button(button::play);
    EXPECT_EQ(user(op::play_state), 1);
    button(button::pause);
    EXPECT_EQ(user(op::play_state), 3);
    button(button::play);
    engine.advance(1000);
    button(button::forward_5s);
    EXPECT_EQ(user(op::output_time, 0), 4000) << "forward stops at the end of the track";
    engine.advance(0);
    EXPECT_EQ(user(op::list_pos), 1);
    button(button::back_5s);
    EXPECT_EQ(user(op::output_time, 0), 0);
    EXPECT_EQ(user(op::output_time, 1), 4);
    EXPECT_EQ(user(op::output_time, 7), -1);
    button(button::prev);
    EXPECT_EQ(user(op::list_pos), 0);
    button(button::next | (1U << 16));  // a notification code in the high word is ignored
    EXPECT_EQ(user(op::list_pos), 1);
    button(button::stop);
    EXPECT_EQ(user(op::play_state), 0);
    EXPECT_EQ(user(op::output_time, 0), -1);
    EXPECT_EQ(user(op::output_time, 1), -1);
    button(12345);  // unknown commands do nothing
    EXPECT_EQ(user(op::play_state), 0);
}

TEST_F(DispatcherTest, JumpToTimeMovesWithinTheTrackOnly) {
    struct Case {
        bool playing;
        std::uintptr_t target;
        std::intptr_t result;
        int position;
    } cases[] = {
        {false, 1000, -1, -1}, {true, 2500, 0, 2500}, {true, 4000, 1, 2500}, {true, 0, 0, 0}};
    for (const auto& c : cases) {
        if (c.playing && user(op::play_state) == 0) {
            button(button::play);
        }
        EXPECT_EQ(user(op::jump_to_time, c.target), c.result) << c.target;
        EXPECT_EQ(user(op::output_time, 0), c.position) << c.target;
    }
}

TEST_F(DispatcherTest, VolumeQueryAndClampedSet) {
    EXPECT_EQ(user(op::volume, op::volume_query), 255);
    user(op::volume, 128);
    EXPECT_EQ(user(op::volume, op::volume_query), 128);
    user(op::volume, 256);
    EXPECT_EQ(user(op::volume, op::volume_query), 255);
    user(op::volume, static_cast<std::uintptr_t>(-1));
    EXPECT_EQ(user(op::volume, op::volume_query), 255);
}

TEST_F(DispatcherTest, PlaylistQueriesAnswerNullOutOfRange) {
    EXPECT_EQ(user(op::list_length), 2);
    EXPECT_EQ(text(op::file_name, 1), "/m/b.mp3");
    EXPECT_EQ(text(op::title, 0), "title of /m/a.mp3");
    EXPECT_EQ(text(op::file_name, 2), std::nullopt);
    EXPECT_EQ(text(op::title, static_cast<std::uintptr_t>(-1)), std::nullopt);
    user(op::set_list_pos, 1);
    EXPECT_EQ(user(op::list_pos), 1);
    user(op::set_list_pos, 2);
    user(op::set_list_pos, 1ULL << 40);
    EXPECT_EQ(user(op::list_pos), 1);
    user(op::clear_playlist);
    EXPECT_EQ(user(op::list_length), 0);
    EXPECT_EQ(text(op::file_name, 0), std::nullopt);
}

TEST_F(DispatcherTest, ShuffleAndRepeatReadBackWhatWasSet) {
    EXPECT_EQ(user(op::get_shuffle), 0);
    EXPECT_EQ(user(op::get_repeat), 0);
    user(op::set_shuffle, 1);
    user(op::set_repeat, 5);
    EXPECT_EQ(user(op::get_shuffle), 1);
    EXPECT_EQ(user(op::get_repeat), 1);
    user(op::set_shuffle, 0);
    EXPECT_EQ(user(op::get_shuffle), 0);
    EXPECT_EQ(user(9999), 0) << "unknown operations answer 0";
}

TEST_F(DispatcherTest, AddFileTakesPlaylistsAndReadsOnlyWithinTheRecord) {
    test::TempDir folder;
    const std::string list = folder.write("l.m3u", "x.mp3\ny.mp3\n");
    EXPECT_EQ(add(list.c_str(), static_cast<std::uint32_t>(list.size() + 1)), 1);
    EXPECT_EQ(user(op::list_length), 4);
    EXPECT_EQ(text(op::file_name, 3), folder.file("y.mp3"));
    EXPECT_EQ(user(op::play_state), 0) << "adding never starts playback";

    const char unterminated[] = {'/', 'a', 'b', 'X', 'Y'};
    add(unterminated, 3);
    EXPECT_EQ(text(op::file_name, 4), "/ab");
    add("/c.mp3", 7, 99);                   // another kind of copy-data
    add("/d.mp3", 7, op::play_file, true);  // posted: the sender's memory may be gone
    add(nullptr, 7);
    add("", 1);
    EXPECT_EQ(user(op::list_length), 5);
    EXPECT_EQ(dispatcher.dispatch({msg::copy_data, 0, 0}, false).value, 0);
}

TEST_F(DispatcherTest, CloseAsksTheHostToEnd) {
    dispatcher.dispatch({msg::close, 0, 0}, true);
    EXPECT_EQ(close_requests, 1);
    dispatcher.dispatch({12345, 0, 0}, false);
    EXPECT_EQ(close_requests, 1);
}

}  // namespace
}  // namespace dravo
