// The playlist and transport rules, driven through the fake engine's virtual clock.
#include <gtest/gtest.h>

#include <set>

#include "fake_audio_engine.h"
#include "player_model.h"

namespace dravo {
namespace {

class PlayerModelTest : public ::testing::Test {
protected:
    PlayerModelTest()
        : model(
              engine, [](const std::string& path) { return "T:" + path; }, 7) {
        for (const char* name : {"a", "b", "c", "d"}) {
            engine.add_track(name, 10000);
        }
    }
    void add_four() { model.add({"a", "b", "c", "d"}); }
    // Adds count one-second entries "s0", "s1", ... and gives their names.
    std::vector<std::string> add_short(int count) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            names.push_back("s" + std::to_string(i));
            engine.add_track(names.back(), 1000);
        }
        model.add(names);
        return names;
    }

    FakeAudioEngine engine;
    PlayerModel model;
};

TEST_F(PlayerModelTest, PlayPauseStopKeepTheRulesOfAPlayer) {
    add_four();
    EXPECT_EQ(model.state(), PlayState::stopped);
    EXPECT_EQ(engine.load_count(), 0) << "adding must not start playback";
    EXPECT_EQ(model.position_ms(), -1);
    EXPECT_EQ(model.length_s(), -1);

    model.play();
    EXPECT_EQ(model.state(), PlayState::playing);
    EXPECT_EQ(engine.loaded(), "a");
    engine.advance(1500);
    EXPECT_EQ(model.position_ms(), 1500);
    EXPECT_EQ(model.length_s(), 10);

    model.pause();
    EXPECT_EQ(model.state(), PlayState::paused);
    engine.advance(3000);
    EXPECT_EQ(model.position_ms(), 1500) << "time stands still while paused";
    model.play();  // resumes, does not restart
    EXPECT_EQ(model.state(), PlayState::playing);
    EXPECT_EQ(engine.load_count(), 1);
    EXPECT_EQ(model.position_ms(), 1500);
    model.pause();
    model.pause();  // toggles back
    EXPECT_EQ(model.state(), PlayState::playing);

    model.set_current(2);
    model.stop();
    EXPECT_EQ(model.state(), PlayState::stopped);
    EXPECT_EQ(model.current(), 2) << "stop keeps the position";
    EXPECT_EQ(model.position_ms(), -1);
    model.pause();
    EXPECT_EQ(model.state(), PlayState::stopped) << "pause does not start a stopped player";
    model.play();
    EXPECT_EQ(engine.loaded(), "c");
}

TEST_F(PlayerModelTest, NextAndPreviousWrapAndOnlyPlayWhenPlaying) {
    add_four();
    model.previous();
    EXPECT_EQ(model.current(), 3);
    EXPECT_EQ(model.state(), PlayState::stopped);
    model.next();
    EXPECT_EQ(model.current(), 0);
    EXPECT_EQ(engine.load_count(), 0);

    model.play();
    model.next();
    EXPECT_EQ(engine.loaded(), "b");
    model.pause();
    model.next();
    EXPECT_EQ(model.state(), PlayState::playing) << "a paused track gives way to a playing one";
    EXPECT_EQ(engine.loaded(), "c");
}

TEST_F(PlayerModelTest, TrackEndMovesOnAndStopsAfterTheLastUnlessRepeat) {
    add_four();
    model.set_current(2);
    model.play();
    engine.advance(10000);
    EXPECT_EQ(engine.loaded(), "d");
    EXPECT_EQ(model.current(), 3);
    engine.advance(10000);
    EXPECT_EQ(model.state(), PlayState::stopped);
    EXPECT_EQ(model.current(), 3);
    EXPECT_EQ(model.position_ms(), -1);

    model.set_repeat(true);
    model.play();
    engine.advance(10000);
    EXPECT_EQ(model.state(), PlayState::playing);
    EXPECT_EQ(engine.loaded(), "a") << "repeat goes round to the first entry";
}

TEST_F(PlayerModelTest, SeekingFiveSecondsStaysInsideTheTrack) {
    add_four();
    model.forward_5s();  // stopped: nothing to seek
    EXPECT_EQ(model.position_ms(), -1);
    model.play();
    engine.advance(2000);
    model.forward_5s();
    EXPECT_EQ(model.position_ms(), 7000);
    model.back_5s();
    model.back_5s();
    EXPECT_EQ(model.position_ms(), 0);
    model.forward_5s();
    model.forward_5s();  // reaches the end of the 10 s track
    engine.advance(0);
    EXPECT_EQ(engine.loaded(), "b");
}

TEST_F(PlayerModelTest, ShufflePlaysEveryEntryOnceBeforeRepeating) {
    add_short(20);
    model.set_shuffle(true);
    model.play();
    std::set<std::string> heard{engine.loaded()};
    for (int i = 0; i < 19; ++i) {
        engine.advance(1000);
        ASSERT_EQ(model.state(), PlayState::playing);
        EXPECT_TRUE(heard.insert(engine.loaded()).second) << "repeated " << engine.loaded();
    }
    engine.advance(1000);
    EXPECT_EQ(model.state(), PlayState::stopped) << "all played, repeat off";

    model.set_repeat(true);
    model.play();
    for (int i = 0; i < 25; ++i) {
        engine.advance(1000);
    }
    EXPECT_EQ(model.state(), PlayState::playing) << "repeat starts a new round";
}

TEST_F(PlayerModelTest, ShuffleNextIsRandomAndPreviousWalksBack) {
    const auto names = add_short(30);
    model.set_shuffle(true);
    model.play();
    std::vector<int> order{model.current()};
    for (int i = 0; i < 4; ++i) {
        model.next();
        order.push_back(model.current());
    }
    EXPECT_NE(order, (std::vector<int>{0, 1, 2, 3, 4})) << "next must not just step";
    EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), order.size());
    model.previous();
    EXPECT_EQ(model.current(), order[3]);
    model.previous();
    EXPECT_EQ(model.current(), order[2]);
    EXPECT_EQ(engine.loaded(), names[static_cast<std::size_t>(order[2])]);
}

TEST_F(PlayerModelTest, UnplayableEntriesAreSkippedWithoutLoopingForever) {
    model.add({"missing1", "b", "missing2"});
    model.play();
    engine.advance(0);  // the failure arrives later, as from a real engine
    EXPECT_EQ(engine.loaded(), "b");
    engine.advance(10000);
    engine.advance(0);
    EXPECT_EQ(model.state(), PlayState::stopped);

    model.clear();
    model.add({"x", "y"});
    model.set_repeat(true);
    model.play();
    for (int i = 0; i < 5; ++i) {
        engine.advance(0);
    }
    EXPECT_EQ(model.state(), PlayState::stopped) << "nothing plays: repeat must not spin";
}

TEST_F(PlayerModelTest, VolumeIsClampedAndPassedOnAsPercent) {
    const int rows[][3] = {{128, 128, 50}, {1000, 255, 100}, {-3, 0, 0}};  // set, kept, percent
    for (const auto& [set, kept, percent] : rows) {
        model.set_volume(set);
        EXPECT_EQ(model.volume(), kept) << set;
        EXPECT_EQ(engine.volume(), percent) << set;
    }
}

TEST_F(PlayerModelTest, OutOfRangeIndexesAreIgnoredAndEmptyListIsHarmless) {
    model.play();
    model.next();
    model.previous();
    model.forward_5s();
    EXPECT_EQ(model.state(), PlayState::stopped);
    EXPECT_EQ(model.title(0), nullptr);
    add_four();
    model.set_current(4);
    model.set_current(-1);
    EXPECT_EQ(model.current(), 0);
    EXPECT_EQ(model.file_name(4), nullptr);
    EXPECT_EQ(model.title(-1), nullptr);
    ASSERT_NE(model.title(3), nullptr);
    EXPECT_EQ(*model.title(3), "T:d");
    EXPECT_EQ(*model.file_name(1), "b");
}

TEST_F(PlayerModelTest, ClearStopsAndEmpties) {
    add_four();
    model.set_current(3);
    model.play();
    model.clear();
    EXPECT_EQ(model.state(), PlayState::stopped);
    EXPECT_EQ(engine.loaded(), "");
    EXPECT_EQ(model.size(), 0);
    EXPECT_EQ(model.current(), 0);
    engine.advance(20000);
    EXPECT_EQ(model.state(), PlayState::stopped);
}

TEST_F(PlayerModelTest, TitlesAreReadOnceAndOnlyWhenAsked) {
    int reads = 0;
    PlayerModel counting(
        engine,
        [&](const std::string& path) {
            ++reads;
            return path;
        },
        1);
    std::vector<std::string> many(1000, "a");
    counting.add(many);
    EXPECT_EQ(reads, 0);
    counting.title(5);
    counting.title(5);
    EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace dravo
