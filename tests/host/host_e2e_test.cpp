// The real player_host with libmpv and the null audio output, driven through the test control
// plug-in exactly as a plug-in drives it: tones made with sox, tagged with lame and oggenc.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "host_process.h"
#include "plugin_abi.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using namespace std::chrono_literals;

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string send_text(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    return "send " + std::to_string(message) + " " + std::to_string(wparam) + " " +
           std::to_string(lparam);
}
std::string user(std::intptr_t operation, std::uintptr_t argument = 0) {
    return send_text(msg::user, argument, operation);
}
std::string button(std::uintptr_t command) { return send_text(msg::command, command, 0); }

class HostEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!run("command -v sox") || !run("command -v lame") || !run("command -v oggenc")) {
            return;
        }
        music_ = new test::TempDir;
        const std::string dir = music_->path();
        std::filesystem::create_directories(dir + "/songs/ä");
        const auto tone = [&](const std::string& file, int seconds, int pitch) {
            return run("sox -n -b 16 -r 22050 -c 1 '" + file + "' synth " +
                       std::to_string(seconds) + " sine " + std::to_string(pitch));
        };
        tones_made_ =
            tone(dir + "/a.wav", 8, 440) && tone(dir + "/b.wav", 2, 550) &&
            tone(dir + "/long.wav", kLongTrackMs / 1000, 330) &&
            tone(dir + "/songs/c untagged.wav", 2, 660) &&
            run("lame --quiet --ta 'Test Artist' --tt 'Tone Å' '" + dir + "/a.wav' '" + dir +
                "/songs/ä/Första låten.mp3'") &&
            run("oggenc -Q -a Other -t 'Tone B' -o '" + dir + "/songs/b.ogg' '" + dir + "/b.wav'");
        music_->write("lists/mix.m3u",
                      "#EXTM3U\r\n../songs/ä/Första låten.mp3\r\n# a comment\r\n"
                      "../songs/b.ogg\r\n../songs/c untagged.wav\r\n");
    }
    static void TearDownTestSuite() {
        delete music_;
        music_ = nullptr;
    }

    void SetUp() override {
        if (!tones_made_) {
            GTEST_SKIP() << "sox, lame and oggenc are needed to make test music";
        }
        std::filesystem::create_directories(work.file("plugins"));
        std::filesystem::create_symlink(std::string(DRAVO_TEST_PLUGIN_DIR) + "/gen_test_control.so",
                                        work.file("plugins/gen_test_control.so"));
    }

    // window: the --gui mode on Qt's offscreen platform.
    std::unique_ptr<test::HostProcess> start_host(bool clear = true, bool window = false) {
        std::vector<std::string> arguments{"--plugins", work.file("plugins"), "--audio-output",
                                           "null",      "--state-dir",        work.file("state")};
        if (clear) {
            arguments.push_back("--clear");
        }
        std::vector<std::string> environment{"DRAVO_TEST_SOCKET=" + socket_path(),
                                             "DRAVO_TEST_REPORT=" + work.file("report.txt")};
        if (window) {
            arguments.push_back("--gui");
            environment.push_back("QT_QPA_PLATFORM=offscreen");
        }
        auto host =
            std::make_unique<test::HostProcess>(arguments, environment, work.file("stderr.txt"));
        EXPECT_TRUE(host->connect(socket_path(), 15s)) << test::read_file(work.file("stderr.txt"));
        return host;
    }
    // Polls a query until it answers value or time runs out; the last answer.
    long long wait_for(test::HostProcess& host, const std::string& query, long long value,
                       std::chrono::milliseconds patience) {
        const auto limit = std::chrono::steady_clock::now() + patience;
        long long last = -2;
        while (std::chrono::steady_clock::now() < limit) {
            last = host.number(query).value_or(-2);
            if (last == value) {
                break;
            }
            std::this_thread::sleep_for(50ms);
        }
        return last;
    }
    std::string socket_path() const { return work.file("control.sock"); }

    static constexpr int kLongTrackMs = 20000;
    static inline test::TempDir* music_ = nullptr;
    static inline bool tones_made_ = false;
    test::TempDir work;
};

TEST_F(HostEndToEnd, PlaysAPlaylistSeeksMovesOnAndRemembersIt) {
    auto host = start_host();
    const std::string list = music_->file("lists/mix.m3u");
    EXPECT_EQ(host->number("add " + list), 1);
    ASSERT_EQ(host->number(user(op::list_length)), 3);
    EXPECT_EQ(host->number(user(op::play_state)), 0) << "adding does not start playback";
    EXPECT_EQ(host->ask("text 211 0"), "T " + music_->file("songs/ä/Första låten.mp3"));
    EXPECT_EQ(host->ask("text 212 0"), "T Test Artist - Tone Å");
    EXPECT_EQ(host->ask("text 212 1"), "T Other - Tone B");
    EXPECT_EQ(host->ask("text 212 2"), "T c untagged");
    EXPECT_EQ(host->ask("text 212 3"), "NULL");

    host->number(button(button::play));
    EXPECT_EQ(host->number(user(op::play_state)), 1);
    ASSERT_EQ(wait_for(*host, user(op::output_time, 1), 8, 5s), 8);
    std::this_thread::sleep_for(300ms);
    const long long early = host->number(user(op::output_time, 0)).value_or(-1);
    std::this_thread::sleep_for(600ms);
    const long long later = host->number(user(op::output_time, 0)).value_or(-1);
    EXPECT_GE(later - early, 400) << "the position follows real time";

    host->number(button(button::forward_5s));
    const long long after_seek = host->number(user(op::output_time, 0)).value_or(-1);
    EXPECT_GE(after_seek, later + 4900) << "the answer after a seek already shows it";
    EXPECT_LT(after_seek, later + 6000);
    std::this_thread::sleep_for(300ms);
    const long long before_back = host->number(user(op::output_time, 0)).value_or(-1);
    EXPECT_GE(before_back, after_seek);
    host->number(button(button::back_5s));
    const long long after_back = host->number(user(op::output_time, 0)).value_or(-1);
    EXPECT_GE(after_back, before_back - 5000);
    EXPECT_LE(after_back, before_back - 4000);

    // A seek right after the start, while the file may still be opening, is not lost.
    host->number(button(button::stop));
    host->number(button(button::play));
    host->number(button(button::forward_5s));
    EXPECT_GE(host->number(user(op::output_time, 0)).value_or(-1), 5000);
    // Playback goes on from there (slowly, in a loaded sanitizer run).
    long long moved_on = -1;
    for (auto until = std::chrono::steady_clock::now() + 10s;
         (moved_on = host->number(user(op::output_time, 0)).value_or(-1)) < 5200 &&
         std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_GE(moved_on, 5200);
    EXPECT_EQ(host->number(user(op::list_pos)), 0);

    // The 2-second entries: play the second, and the end of each moves on.
    host->number(button(button::stop));
    host->number(user(op::set_list_pos, 1));
    host->number(button(button::play));
    EXPECT_EQ(wait_for(*host, user(op::list_pos), 2, 6s), 2);
    EXPECT_EQ(host->number(user(op::play_state)), 1);
    EXPECT_EQ(wait_for(*host, user(op::play_state), 0, 6s), 0) << "stops after the last entry";
    EXPECT_EQ(host->number(user(op::list_pos)), 2);
    EXPECT_EQ(host->number(user(op::output_time, 0)), -1);

    host->number(user(op::volume, 100));
    host->number(user(op::set_repeat, 1));
    EXPECT_EQ(host->ask("box Hej Värld"), "R 1");
    EXPECT_EQ(host->number("post 16 0 0"), 1);
    EXPECT_EQ(host->wait_exit(10s), 0);
    EXPECT_EQ(test::read_file(work.file("report.txt")), "quit\n");
    EXPECT_NE(test::read_file(work.file("stderr.txt")).find("Test control: Hej Värld\n"),
              std::string::npos);

    // A new run finds the playlist, position, volume and repeat where they were.
    auto again = start_host(false);
    EXPECT_EQ(again->number(user(op::list_length)), 3);
    EXPECT_EQ(again->number(user(op::list_pos)), 2);
    EXPECT_EQ(again->number(user(op::volume, op::volume_query)), 100);
    EXPECT_EQ(again->number(user(op::get_repeat)), 1);
    EXPECT_EQ(again->number(user(op::play_state)), 0);
    kill(again->pid(), SIGINT);
    EXPECT_EQ(again->wait_exit(10s), 0);
}

TEST_F(HostEndToEnd, LengthRightAfterASwitchIsNeverThePreviousTracks) {
    auto host = start_host();
    EXPECT_EQ(host->number("add " + music_->file("a.wav")), 1);
    EXPECT_EQ(host->number("add " + music_->file("songs/c untagged.wav")), 1);
    const long long lengths[] = {8, 2};
    host->number(button(button::play));
    for (int i = 1; i <= 50; ++i) {
        // The track playing is open and its length known; then a switch to the other one, by
        // what "/play?track=N" sends (stop, select, play) or by "/next", and what "/ffwd" asks.
        ASSERT_EQ(wait_for(*host, user(op::output_time, 1), lengths[1 - i % 2], 5s),
                  lengths[1 - i % 2]);
        if (i % 4 < 2) {
            host->number(button(button::stop));
            host->number(user(op::set_list_pos, static_cast<std::uintptr_t>(i % 2)));
            host->number(button(button::play));
        } else {
            host->number(button(button::next));
        }
        const long long length = host->number(user(op::output_time, 1)).value_or(-2);
        EXPECT_TRUE(length == -1 || length == lengths[i % 2])
            << "switch " << i << " to a " << lengths[i % 2] << " s track answered " << length;
    }
    EXPECT_EQ(wait_for(*host, user(op::output_time, 1), lengths[0], 5s), lengths[0]);
}

// Seeks sent back to back, each answered before the next goes, up to a few milliseconds apart:
// every position read after a seek is the one it asked for (the previous answer plus or minus
// 5 s) until mpv has carried it out, and only then moves on with playback. mpv reports the end of
// an earlier seek while a later one still waits.
TEST_F(HostEndToEnd, PositionAfterQuickSeeksIsTheLastOneAskedFor) {
    using Clock = std::chrono::steady_clock;
    constexpr long long kStep = 5000;
    constexpr long long kLanding = 50;  // how far an exact seek may land from its target
    constexpr int kLooks = 4;           // reads after each seek, 1 ms apart
    enum Seek { F, B };
    // Forward, back, mixed; each ends across the end of the track.
    const std::vector<std::vector<Seek>> sequences = {{F, F, F, F, F},
                                                      {F, F, F, B, B, B, B, F, F, F, F, F},
                                                      {F, F, B, F, B, B, F, F, F, F, F, F},
                                                      {B, F, F, B, F, F, F, F}};
    auto host = start_host();
    ASSERT_EQ(host->number("add " + music_->file("long.wav")), 1);
    ASSERT_EQ(host->number("add " + music_->file("long.wav")), 1);
    const auto read_position = [&] { return host->number(user(op::output_time, 0)).value_or(-1); };
    for (int round = 0; round < 50; ++round) {
        host->number(button(button::stop));
        host->number(user(op::set_list_pos, 0));
        host->number(button(button::play));
        ASSERT_EQ(wait_for(*host, user(op::output_time, 1), kLongTrackMs / 1000, 5s),
                  kLongTrackMs / 1000);
        long long previous = read_position();
        auto previous_read = Clock::now();
        std::string trail = std::to_string(previous);
        bool wrong = false;
        for (Seek seek : sequences[round % sequences.size()]) {
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 10 * 3));
            host->number(button(seek == F ? button::forward_5s : button::back_5s));
            const long long asked = seek == F ? previous + kStep : std::max(0LL, previous - kStep);
            long long position = -1;
            auto read_at = Clock::now();
            bool across_the_end = false;
            for (int look = 0; look < kLooks; ++look) {
                if (look > 0) {
                    std::this_thread::sleep_for(1ms);
                }
                read_at = Clock::now();
                position = read_position();
                trail += (look > 0 ? "/" : seek == F ? " F " : " B ") + std::to_string(position);
                // Playback went on since our last reading, and the host takes its own.
                const long long moved = std::chrono::duration_cast<std::chrono::milliseconds>(
                                            Clock::now() - previous_read)
                                            .count();
                across_the_end = asked + moved >= kLongTrackMs;
                if (across_the_end) {
                    // The end of the track until the host has moved on to the next entry (the
                    // engine's track ends an instant before the playlist moves on).
                    const bool next_started = position >= 0 && position <= moved + kLanding;
                    wrong |= !(position == kLongTrackMs || next_started ||
                               (asked < kLongTrackMs && position >= asked - kLanding));
                } else {
                    wrong |= position < asked - kLanding || position > asked + moved + kLanding;
                }
            }
            if (across_the_end || wrong) {
                break;
            }
            previous = position;
            previous_read = read_at;
        }
        ASSERT_FALSE(wrong) << "round " << round << ": " << trail;
    }
}

TEST_F(HostEndToEnd, WindowModeWritesEveryNoticeToStandardError) {
    auto host = start_host(true, true);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(host->ask("box cmd: '/junk" + std::to_string(i) + "'"), "R 1");
    }
    EXPECT_EQ(host->number("post 16 0 0"), 1);
    EXPECT_EQ(host->wait_exit(10s), 0);
    const std::string errors = test::read_file(work.file("stderr.txt"));
    int missing = 0;
    for (int i = 0; i < 500; ++i) {
        missing += errors.find("Test control: cmd: '/junk" + std::to_string(i) + "'\n") ==
                   std::string::npos;
    }
    EXPECT_EQ(missing, 0) << errors.substr(0, 2000);
}

TEST_F(HostEndToEnd, StopSignalDuringASendFloodEndsInOrder) {
    auto host = start_host();
    EXPECT_EQ(host->number("flood"), 1);
    std::this_thread::sleep_for(200ms);
    kill(host->pid(), SIGTERM);
    EXPECT_EQ(host->wait_exit(10s), 0);
    EXPECT_EQ(test::read_file(work.file("report.txt")), "quit\n");
}

TEST_F(HostEndToEnd, CloseSentWhileAnotherThreadSendsEndsInOrder) {
    auto host = start_host();
    EXPECT_EQ(host->number("flood"), 1);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(host->number(send_text(msg::close, 0, 0)), 0);
    EXPECT_EQ(host->wait_exit(10s), 0);
    EXPECT_EQ(test::read_file(work.file("report.txt")), "quit\n");
}

}  // namespace
}  // namespace dravo
