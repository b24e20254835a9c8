// The host's plug-in side in one process: loading, the host window's C functions from any thread,
// read-only messages answered from the model's snapshot, the order of the end, and what is
// remembered between runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include "fake_audio_engine.h"
#include "host_core.h"
#include "host_state.h"
#include "plugin_set.h"
#include "temp_dir.h"
#include "waker.h"

namespace dravo {
namespace {

using namespace std::chrono_literals;

const TitleReader kTitles = [](const std::string& path) { return "T " + path; };

// A core whose playlist holds /m/a.mp3 (10 s) and /m/b.mp3 (65 s), titled "T <path>".
class HostCoreTest : public ::testing::Test {
protected:
    HostCoreTest() {
        engine.add_track("/m/a.mp3", 10000);
        engine.add_track("/m/b.mp3", 65000);
        core.model().add({"/m/a.mp3", "/m/b.mp3"});
    }
    HostCore make_core(const std::string& state_folder, const TitleReader& titles = kTitles) {
        return HostCore(
            engine, titles, [this] { waker.wake(); },
            [this](const std::string& text, const std::string& caption) {
                boxes.push_back(caption + "|" + text);
            },
            state_folder, 5);
    }
    std::intptr_t send(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
        HostWindowRecord* window = core.record();
        return window->send(window->context, message, wparam, lparam);
    }
    std::intptr_t user(std::intptr_t operation, std::uintptr_t argument = 0) {
        return send(msg::user, argument, operation);
    }
    std::string text(std::intptr_t operation, std::uintptr_t index) {
        const auto* result = reinterpret_cast<const char*>(user(operation, index));
        return result == nullptr ? "NULL" : result;
    }
    // Serves served's queue on this (the main) thread until done() holds or time runs out.
    void pump_until(HostCore& served, const std::function<bool()>& done,
                    std::chrono::milliseconds patience = 10s) {
        const auto limit = std::chrono::steady_clock::now() + patience;
        while (!done() && std::chrono::steady_clock::now() < limit) {
            waker.clear();
            served.pump();
            waker.wait(5);
        }
    }
    // Runs work on a plug-in thread while this thread serves the queue.
    void on_plugin_thread(const std::function<void()>& work, HostCore* served = nullptr) {
        std::atomic<bool> done{false};
        std::thread plugin([&] {
            work();
            done = true;
            waker.wake();
        });
        pump_until(served != nullptr ? *served : core, [&] { return done.load(); });
        plugin.join();
    }
    // Links the named test plug-ins into a fresh plug-in folder.
    std::string plugin_folder(std::initializer_list<const char*> names) {
        const std::string plugins = folder.file("plugins");
        std::filesystem::create_directories(plugins);
        for (const char* name : names) {
            std::filesystem::create_symlink(std::string(DRAVO_TEST_PLUGIN_DIR) + "/" + name,
                                            plugins + "/" + name);
        }
        return plugins;
    }

    test::TempDir folder;
    Waker waker;
    FakeAudioEngine engine;
    // The sink may be called from any thread; tests read it after the plug-in threads joined.
    std::vector<std::string> boxes;
    HostCore core = make_core("");
};

// The same core, for the reads a plug-in thread makes.
using HostSnapshotTest = HostCoreTest;

std::map<std::string, std::string> read_report(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

TEST_F(HostCoreTest, LoadsPlugInsAndEndsInOrderWhileASendIsInFlight) {
    const std::string plugins = plugin_folder({"gen_test_probe.so", "gen_test_bad_version.so"});
    folder.write("plugins/gen_broken.so", "not a library");
    folder.write("plugins/libother.so", "ignored: not a plug-in name");
    const std::string report = folder.file("probe.txt");
    test::ScopedEnv report_to("DRAVO_PROBE_REPORT", report.c_str());

    PluginSet set(core.record());
    std::vector<std::string> errors;
    EXPECT_EQ(set.load_folder(plugins, errors), 1);
    ASSERT_EQ(errors.size(), 2U);
    EXPECT_NE(errors[0].find("gen_broken.so"), std::string::npos);
    EXPECT_NE(errors[1].find("record version 15"), std::string::npos);
    ASSERT_EQ(set.plugins().size(), 1U);
    const LoadedPlugin& probe = set.plugins()[0];
    EXPECT_EQ(probe.description, "Probe plug-in");
    EXPECT_EQ(probe.record->hwndParent, core.record());
    EXPECT_EQ(probe.record->hDllInstance, probe.library);

    pump_until(
        core, [] { return false; }, 50ms);
    // The probe's thread is now blocked in a send that nobody drains: the end must release it.
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(core.shutdown(set));
    EXPECT_TRUE(set.plugins().empty());

    const auto seen = read_report(report);
    EXPECT_EQ(seen.at("init_on_main"), "1");
    EXPECT_EQ(seen.at("window_ok"), "1");
    EXPECT_EQ(seen.at("quit_on_main"), "1");
    EXPECT_EQ(seen.at("quits"), "1");
    EXPECT_GT(std::stol(seen.at("sends")), 10);
}

TEST_F(HostCoreTest, HostWindowFunctionsWorkFromAnyThread) {
    HostWindowRecord* window = core.record();
    EXPECT_EQ(window->magic, kHostWindowMagic);
    EXPECT_EQ(window->size, sizeof(HostWindowRecord));

    std::string first_title;
    std::string kept_after_clear;
    std::string other_thread_text;
    std::string missing;
    on_plugin_thread([&] {
        const auto* title = reinterpret_cast<const char*>(user(op::title, 0));
        first_title = title;
        std::thread([&] { other_thread_text = text(op::file_name, 1); }).join();
        // The playlist is emptied, yet this thread's last text stays readable.
        user(op::clear_playlist);
        kept_after_clear = title;
        missing = text(op::title, 0);
        window->message_box(window->context, "line one\nline two", "Cap", 0);
        window->message_box(window->context, nullptr, nullptr, 0);
    });
    EXPECT_EQ(first_title, "T /m/a.mp3");
    EXPECT_EQ(kept_after_clear, "T /m/a.mp3");
    EXPECT_EQ(other_thread_text, "/m/b.mp3");
    EXPECT_EQ(missing, "NULL");
    EXPECT_EQ(boxes, (std::vector<std::string>{"Cap|line one\nline two", "|"}));
    EXPECT_EQ(message_box_line("a\r\nb", "Cap"), "Cap: a  b\n");

    EXPECT_EQ(window->post(window->context, msg::close, 0, 0), 1);
    EXPECT_FALSE(core.pump()) << "a posted close ends the host";
}

TEST_F(HostSnapshotTest, AReadAfterAChangeSeesIt) {
    std::string add_path = "/m/c.mp3";
    CopyDataRecord add{op::play_file, static_cast<std::uint32_t>(add_path.size() + 1),
                       add_path.data()};
    using Change = std::function<void()>;
    using Read = std::function<std::intptr_t()>;
    const auto set = [this](std::intptr_t operation, std::uintptr_t argument) -> Change {
        return [=, this] { user(operation, argument); };
    };
    const auto press = [this](std::uintptr_t command) -> Change {
        return [=, this] { send(msg::command, command, 0); };
    };
    const auto ask = [this](std::intptr_t operation, std::uintptr_t argument) -> Read {
        return [=, this] { return user(operation, argument); };
    };
    const Change nothing = [] {};
    const Change add_entry = [&] {
        send(msg::copy_data, 0, reinterpret_cast<std::intptr_t>(&add));
    };
    struct Row {
        const char* what;
        Change change;
        Read read;
        std::intptr_t expected;
    };
    const Row rows[] = {
        {"volume", set(op::volume, 77), ask(op::volume, op::volume_query), 77},
        {"shuffle", set(op::set_shuffle, 1), ask(op::get_shuffle, 0), 1},
        {"repeat", set(op::set_repeat, 1), ask(op::get_repeat, 0), 1},
        {"position", set(op::set_list_pos, 1), ask(op::list_pos, 0), 1},
        {"play", press(button::play), ask(op::play_state, 0), 1},
        {"length", nothing, ask(op::output_time, 1), 65},
        {"seek", press(button::forward_5s), ask(op::output_time, 0), 5000},
        {"pause", press(button::pause), ask(op::play_state, 0), 3},
        {"add", add_entry, ask(op::list_length, 0), 3},
        {"clear", set(op::clear_playlist, 0), ask(op::list_length, 0), 0},
        {"stopped", nothing, ask(op::output_time, 0), -1},
    };
    std::vector<std::intptr_t> seen;
    on_plugin_thread([&] {
        for (const auto& row : rows) {
            row.change();
            seen.push_back(row.read());
        }
    });
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(seen[i], rows[i].expected) << rows[i].what;
    }
}

TEST_F(HostSnapshotTest, ReadsAnswerWhileTheMainThreadIsBusy) {
    user(op::volume, 40);
    core.model().title(1);  // read on the main thread once, so the snapshot holds it
    // Nobody pumps the queue now: anything that waited for the main thread would hang.
    auto reads = std::async(std::launch::async, [&] {
        return std::vector<std::string>{std::to_string(user(op::volume, op::volume_query)),
                                        std::to_string(user(op::list_length)),
                                        text(op::file_name, 1), text(op::title, 1),
                                        text(op::file_name, 2)};
    });
    ASSERT_EQ(reads.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(reads.get(), (std::vector<std::string>{"40", "2", "/m/b.mp3", "T /m/b.mp3", "NULL"}));
}

TEST_F(HostSnapshotTest, ATitleNotReadYetIsReadOnceOnTheMainThread) {
    int reads = 0;
    HostCore counting = make_core("", [&reads](const std::string& path) {
        ++reads;
        return "T " + path;
    });
    counting.model().add({"/m/a.mp3"});
    HostWindowRecord* window = counting.record();
    std::vector<std::string> titles;
    on_plugin_thread(
        [&] {
            for (int i = 0; i < 3; ++i) {
                titles.emplace_back(reinterpret_cast<const char*>(
                    window->send(window->context, msg::user, 0, op::title)));
            }
        },
        &counting);
    EXPECT_EQ(titles, (std::vector<std::string>(3, "T /m/a.mp3")));
    EXPECT_EQ(reads, 1);
}

TEST_F(HostCoreTest, RemembersPlaylistPositionVolumeShuffleAndRepeat) {
    const std::string state = folder.file("state");
    {
        HostCore first = make_core(state);
        first.restore();
        EXPECT_EQ(first.model().size(), 0);
        first.model().add({"/m/a b.mp3", "/m/Värld.ogg", "http://radio.example/live"});
        first.model().set_current(2);
        first.model().set_volume(77);
        first.model().set_shuffle(true);
        first.model().set_repeat(true);
        PluginSet none(first.record());
        EXPECT_TRUE(first.shutdown(none));
    }
    HostCore again = make_core(state);
    again.restore();
    PlayerModel& model = again.model();
    ASSERT_EQ(model.size(), 3);
    EXPECT_EQ(*model.file_name(0), "/m/a b.mp3");
    EXPECT_EQ(*model.file_name(1), "/m/Värld.ogg");
    EXPECT_EQ(*model.file_name(2), "http://radio.example/live");
    EXPECT_EQ(model.current(), 2);
    EXPECT_EQ(model.volume(), 77);
    EXPECT_TRUE(model.shuffle());
    EXPECT_TRUE(model.repeat());
    EXPECT_EQ(model.state(), PlayState::stopped) << "a new run does not start playing by itself";
}

TEST(HostState, DamagedOrMissingFilesGiveDefaults) {
    test::TempDir folder;
    HostState state = load_host_state(folder.file("nothing here"));
    EXPECT_TRUE(state.playlist.empty());
    EXPECT_EQ(state.volume, 255);
    folder.write("player.ini", "volume=900\nposition=-4\nshuffle=yes\nrepeat=1\r\nnoise\n");
    state = load_host_state(folder.path());
    EXPECT_EQ(state.volume, 255);
    EXPECT_EQ(state.position, 0);
    EXPECT_FALSE(state.shuffle);
    EXPECT_TRUE(state.repeat);
    EXPECT_FALSE(save_host_settings("/proc/no/such/folder", state));
}

}  // namespace
}  // namespace dravo
