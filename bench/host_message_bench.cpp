// Host benchmarks, plain timing, in one process with the fake engine: a read-only message from a
// plug-in thread (answered from the snapshot on that thread), a changing one (a round trip to the
// host's main thread), and adding a 100,000-entry playlist file.
// Targets: message p50 under 50 us; 100,000 entries added in under 1 s.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fake_audio_engine.h"
#include "host_core.h"
#include "host_window_record.h"
#include "plugin_abi.h"
#include "waker.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string unique_name(const char* stem) { return stem + std::to_string(std::random_device{}()); }

double micros(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// Runs plugin_thread while this (the main) thread serves the host as the real host does.
void with_host(dravo::HostCore& core, const dravo::Waker& waker,
               const std::function<void()>& plugin_thread) {
    std::atomic<bool> done{false};
    std::thread plugin([&] {
        plugin_thread();
        done = true;
        waker.wake();
    });
    while (!done) {
        waker.clear();
        core.pump();
        waker.wait(1000);
    }
    plugin.join();
}

void message_round_trip(dravo::HostCore& core, const dravo::Waker& waker, std::intptr_t operation,
                        std::uintptr_t argument, const char* label) {
    constexpr int kWarmUp = 2000;
    constexpr int kMessages = 20000;
    std::vector<double> samples;
    samples.reserve(kMessages);
    HostWindowRecord* window = core.record();
    with_host(core, waker, [&] {
        for (int i = 0; i < kWarmUp + kMessages; ++i) {
            const auto start = Clock::now();
            window->send(window->context, dravo::msg::user, argument, operation);
            if (i >= kWarmUp) {
                samples.push_back(micros(Clock::now() - start));
            }
        }
    });
    std::printf("%-34s p50 %7.1f us   p99 %7.1f us   (%d messages)\n", label,
                percentile(samples, 0.50), percentile(samples, 0.99), kMessages);
}

void add_large_playlist(dravo::HostCore& core, const dravo::Waker& waker) {
    constexpr int kEntries = 100000;
    const auto folder = std::filesystem::temp_directory_path() / unique_name("dravo-host-bench-");
    std::filesystem::create_directories(folder);
    const std::string list = (folder / "large.m3u").string();
    {
        std::ofstream out(list, std::ios::binary);
        out << "#EXTM3U\r\n";
        for (int i = 0; i < kEntries; ++i) {
            out << "#EXTINF:180,Artist " << i % 97 << " - Song " << i << "\r\n"
                << "Artist " << i % 97 << "/Album " << i % 13 << "/Song " << i << ".mp3\r\n";
        }
    }
    HostWindowRecord* window = core.record();
    std::intptr_t length = 0;
    Clock::duration add_time{};
    Clock::duration length_time{};
    with_host(core, waker, [&] {
        CopyDataRecord record{dravo::op::play_file, static_cast<std::uint32_t>(list.size() + 1),
                              const_cast<char*>(list.c_str())};
        const auto start = Clock::now();
        window->send(window->context, dravo::msg::copy_data, 0,
                     reinterpret_cast<std::intptr_t>(&record));
        const auto added = Clock::now();
        length = window->send(window->context, dravo::msg::user, 0, dravo::op::list_length);
        add_time = added - start;
        length_time = Clock::now() - added;
    });
    std::printf("add %d-entry playlist file       %7.1f ms   (list length answered: %ld)\n",
                kEntries, micros(add_time) / 1000, static_cast<long>(length));
    std::printf("list length after it              %7.1f us\n", micros(length_time));

    const auto save_start = Clock::now();
    const bool saved = core.save();
    std::printf("remember the playlist (save)      %7.1f ms   (%s)\n",
                micros(Clock::now() - save_start) / 1000, saved ? "ok" : "failed");
    std::filesystem::remove_all(folder);
}

}  // namespace

int main() {
    dravo::Waker waker;
    dravo::FakeAudioEngine engine;
    const auto state =
        std::filesystem::temp_directory_path() / unique_name("dravo-host-bench-state-");
    dravo::HostCore core(
        engine, [](const std::string& path) { return path; }, [&waker] { waker.wake(); },
        [](const std::string&, const std::string&) {}, state.string(), 1);
    std::vector<std::string> entries;
    for (int i = 0; i < 1000; ++i) {
        entries.push_back("/music/track " + std::to_string(i) + ".mp3");
    }
    core.model().add(entries);

    core.model().title(500);  // read once, as the first request for it would
    message_round_trip(core, waker, dravo::op::list_length, 0, "snapshot read (list length)");
    message_round_trip(core, waker, dravo::op::title, 500, "snapshot read (title text)");
    message_round_trip(core, waker, dravo::op::set_repeat, 1,
                       "main-thread round trip (set repeat)");
    add_large_playlist(core, waker);
    std::filesystem::remove_all(state);
    return 0;
}
