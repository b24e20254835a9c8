// A process killed in the middle of saving must leave the previous or the new settings file
// whole on disk, never a truncated or half-written one; readers never see a partial file either.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "settings_store.h"
#include "temp_dir.h"

namespace dravo {
namespace {

class BigSettings : public SettingsStore {
public:
    explicit BigSettings(std::string file) : SettingsStore(std::move(file)) {
        add_string("title", title, "");
        add_int("count", count, 0);
        add_list("Item", items, {});
    }

    // Two distinct, complete states; B is shorter so saving it also blanks A's tail.
    void make_state(char generation) {
        const int size = generation == 'A' ? 400 : 300;
        title = std::string(1, generation) + std::string(200, generation);
        count = size;
        items.clear();
        for (int i = 0; i < size; ++i) {
            items.push_back(std::string(1, generation) + std::to_string(i) +
                            std::string(90, generation));
        }
    }

    std::string title;
    int count = 0;
    std::vector<std::string> items;
};

TEST(SettingsKill, KilledSaveLeavesOldOrNewFileWhole) {
    test::TempDir dir;
    const auto ini = dir.file("big.ini");
    BigSettings settings(ini);
    // Reach the steady pattern the child repeats: ... A, B, A, B ...
    settings.make_state('A');
    settings.save();
    settings.make_state('B');
    settings.save();
    const auto bytes_b = test::read_file(ini);
    settings.make_state('A');
    const auto started = std::chrono::steady_clock::now();
    settings.save();
    const auto save_time = std::chrono::steady_clock::now() - started;
    const auto bytes_a = test::read_file(ini);
    ASSERT_GT(bytes_a.size(), 40000u);
    ASSERT_NE(bytes_a, bytes_b);

    std::mt19937 random(12345);
    const auto window = std::max<std::int64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(save_time).count() * 3, 2000);
    std::uniform_int_distribution<std::int64_t> delay(0, window);
    int seen_a = 0;
    int seen_b = 0;
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (char generation = 'B';; generation = generation == 'A' ? 'B' : 'A') {
                settings.make_state(generation);
                settings.save();
            }
        }
        // Readers meanwhile see whole files too.
        const auto kill_at =
            std::chrono::steady_clock::now() + std::chrono::microseconds(delay(random));
        while (std::chrono::steady_clock::now() < kill_at) {
            const auto seen = test::read_file(ini);
            if (seen != bytes_a && seen != bytes_b) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
                FAIL() << "a reader saw " << seen.size() << " bytes in round " << round;
            }
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const auto on_disk = test::read_file(ini);
        ASSERT_TRUE(on_disk == bytes_a || on_disk == bytes_b)
            << "round " << round << ", " << on_disk.size() << " bytes";
        BigSettings loaded(ini);
        loaded.load();
        const char generation = on_disk == bytes_a ? 'A' : 'B';
        (generation == 'A' ? seen_a : seen_b)++;
        settings.make_state(generation);
        EXPECT_EQ(loaded.items, settings.items);
        EXPECT_EQ(loaded.title, settings.title);
        EXPECT_EQ(loaded.count, settings.count);
        // The next round's child starts from an A file again.
        if (generation == 'B') {
            settings.make_state('A');
            settings.save();
        }
    }
    std::cout << "old file seen " << seen_a << " times, new file " << seen_b << " times\n";
}

}  // namespace
}  // namespace dravo
