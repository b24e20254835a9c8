// The host's plug-in side in one process: loading, the host window's C functions, the order of
// the end, and what is remembered between runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

class HostCoreTest : public ::testing::Test {
protected:
    HostCore make_core(const std::string& state_folder) {
        return HostCore(
            engine, [](const std::string& path) { return "T " + path; }, [this] { waker.wake(); },
            [this](const std::string& text, const std::string& caption) {
                boxes.push_back(caption + "|" + text);
            },
            state_folder, 5);
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
    void pump_for(HostCore& core, std::chrono::milliseconds time) {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            waker.clear();
            core.pump();
            waker.wait(5);
        }
    }

    test::TempDir folder;
    Waker waker;
    FakeAudioEngine engine;
    std::vector<std::string>
        boxes;  // the sink may be called from any thread; tests read after join
};

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
    setenv("DRAVO_PROBE_REPORT", report.c_str(), 1);

    HostCore core = make_core("");
    core.model().add({"/m/a.mp3", "/m/b.mp3"});
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

    pump_for(core, 50ms);
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
    unsetenv("DRAVO_PROBE_REPORT");
}

TEST_F(HostCoreTest, HostWindowFunctionsWorkFromAnyThread) {
    HostCore core = make_core("");
    core.model().add({"/m/first.mp3", "/m/second.mp3"});
    HostWindowRecord* window = core.record();
    EXPECT_EQ(window->magic, kHostWindowMagic);
    EXPECT_EQ(window->size, sizeof(HostWindowRecord));

    std::atomic<bool> done{false};
    std::string first_title;
    std::string kept_after_clear;
    std::string other_thread_text;
    std::intptr_t missing = -1;
    std::thread plugin_thread([&] {
        const auto text = [&](std::intptr_t operation, std::uintptr_t index) {
            return reinterpret_cast<const char*>(
                window->send(window->context, msg::user, index, operation));
        };
        const char* title = text(op::title, 0);
        first_title = title;
        std::thread([&] { other_thread_text = text(op::file_name, 1); }).join();
        // The playlist is emptied, yet this thread's last text stays readable.
        window->send(window->context, msg::user, 0, op::clear_playlist);
        kept_after_clear = title;
        missing = window->send(window->context, msg::user, 0, op::title);
        window->message_box(window->context, "line one\nline two", "Cap", 0);
        window->message_box(window->context, nullptr, nullptr, 0);
        done = true;
    });
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!done && std::chrono::steady_clock::now() < limit) {
        waker.clear();
        core.pump();
        waker.wait(5);
    }
    plugin_thread.join();
    EXPECT_EQ(first_title, "T /m/first.mp3");
    EXPECT_EQ(kept_after_clear, "T /m/first.mp3");
    EXPECT_EQ(other_thread_text, "/m/second.mp3");
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Cap|line one\nline two", "|"}));
    EXPECT_EQ(message_box_line("a\r\nb", "Cap"), "Cap: a  b\n");

    EXPECT_EQ(window->post(window->context, msg::close, 0, 0), 1);
    EXPECT_FALSE(core.pump()) << "a posted close ends the host";
}

TEST_F(HostCoreTest, RemembersPlaylistPositionVolumeShuffleAndRepeat) {
    const std::string state = folder.file("state");
    {
        HostCore core = make_core(state);
        core.restore();
        EXPECT_EQ(core.model().size(), 0);
        core.model().add({"/m/a b.mp3", "/m/Värld.ogg", "http://radio.example/live"});
        core.model().set_current(2);
        core.model().set_volume(77);
        core.model().set_shuffle(true);
        core.model().set_repeat(true);
        PluginSet none(core.record());
        EXPECT_TRUE(core.shutdown(none));
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
