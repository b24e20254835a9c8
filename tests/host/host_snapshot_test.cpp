// Read-only messages from a plug-in's own thread: answered from the model's snapshot without the
// main thread, and never older than a change the same thread made just before.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "fake_audio_engine.h"
#include "host_core.h"
#include "waker.h"

namespace dravo {
namespace {

using namespace std::chrono_literals;

class HostSnapshotTest : public ::testing::Test {
protected:
    HostSnapshotTest()
        : core(
              engine, [](const std::string& path) { return "T " + path; }, [this] { waker.wake(); },
              [](const std::string&, const std::string&) {}, "", 3) {
        engine.add_track("/m/a.mp3", 10000);
        engine.add_track("/m/b.mp3", 65000);
        core.model().add({"/m/a.mp3", "/m/b.mp3"});
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
    // Runs work on a plug-in thread while this (the main) thread serves the queue.
    void on_plugin_thread(const std::function<void()>& work) {
        std::atomic<bool> done{false};
        std::thread plugin([&] {
            work();
            done = true;
            waker.wake();
        });
        while (!done) {
            waker.clear();
            core.pump();
            waker.wait(5);
        }
        plugin.join();
    }

    Waker waker;
    FakeAudioEngine engine;
    HostCore core;
};

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
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(seen[i], rows[i].expected) << rows[i].what;
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
    const TitleReader reader = [&reads](const std::string& path) {
        ++reads;
        return "T " + path;
    };
    HostCore counting(
        engine, reader, [this] { waker.wake(); }, [](const std::string&, const std::string&) {}, "",
        3);
    counting.model().add({"/m/a.mp3"});
    HostWindowRecord* window = counting.record();
    std::vector<std::string> titles;
    std::atomic<bool> done{false};
    std::thread plugin([&] {
        for (int i = 0; i < 3; ++i)
            titles.emplace_back(reinterpret_cast<const char*>(
                window->send(window->context, msg::user, 0, op::title)));
        done = true;
        waker.wake();
    });
    while (!done) {
        waker.clear();
        counting.pump();
        waker.wait(5);
    }
    plugin.join();
    EXPECT_EQ(titles, (std::vector<std::string>(3, "T /m/a.mp3")));
    EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace dravo
