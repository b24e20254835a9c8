// The shell hook library in this process under Xvfb: the value each key press delivers, several
// targets, and nothing after UnSetMMShellHook.
#include <condition_variable>
#include <mutex>

#include "desktop_fixture.h"
#include "dravo_shellhook.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

struct Received {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::uint32_t> values;

    static void record(void* context, std::uint32_t message, std::uint32_t lparam) {
        auto* self = static_cast<Received*>(context);
        std::lock_guard lock(self->mutex);
        self->values.push_back(message == DRAVO_MEDIA_KEY_MESSAGE ? lparam : 0xFFFFFFFFu);
        self->arrived.notify_all();
    }
    std::vector<std::uint32_t> wait_for(std::size_t count) {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, kPatience, [&] { return values.size() >= count; });
        return values;
    }
};

constexpr std::uint32_t value(std::uint32_t command, std::uint32_t modifiers = 0) {
    return (command << DRAVO_APPCOMMAND_SHIFT) | modifiers;
}

TEST(ShellHook, DeliversEachPressWithItsModifiersUntilUnset) {
    const std::pair<const char*, std::uint32_t> presses[] = {
        {"XF86AudioMute", value(DRAVO_APPCOMMAND_VOLUME_MUTE)},
        {"shift+ctrl+XF86Mail",
         value(DRAVO_APPCOMMAND_LAUNCH_MAIL, DRAVO_MK_SHIFT | DRAVO_MK_CONTROL)},
        {"shift+XF86AudioPlay", value(DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE, DRAVO_MK_SHIFT)},
        {"XF86AudioPause", value(DRAVO_APPCOMMAND_MEDIA_PAUSE)},
        {"ctrl+XF86AudioLowerVolume", value(DRAVO_APPCOMMAND_VOLUME_DOWN, DRAVO_MK_CONTROL)},
        {"XF86AudioStop", value(DRAVO_APPCOMMAND_MEDIA_STOP)},
    };
    Received first;
    Received second;
    DravoMediaKeyTarget one{Received::record, &first, 0, 0};
    DravoMediaKeyTarget two{Received::record, &second, 0, 0};
    ASSERT_NE(SetMMShellHook(&one), 0);
    EXPECT_GE(one.grabbed_keys, 10);
    EXPECT_EQ(one.held_keys, 0);
    ASSERT_NE(SetMMShellHook(&two), 0);
    std::vector<std::uint32_t> expected;
    for (const auto& [keys, lparam] : presses) {
        press(keys);
        expected.push_back(lparam);
        EXPECT_EQ(first.wait_for(expected.size()), expected) << keys;
    }
    EXPECT_EQ(second.wait_for(expected.size()), expected);

    UnSetMMShellHook(&two);
    press("XF86AudioNext");
    expected.push_back(value(DRAVO_APPCOMMAND_MEDIA_NEXTTRACK));
    EXPECT_EQ(first.wait_for(expected.size()), expected);
    UnSetMMShellHook(&one);
    press("XF86AudioNext");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(first.wait_for(0).size(), expected.size());
    EXPECT_EQ(second.wait_for(0).size(), expected.size() - 1);
}

TEST(ShellHook, FailsWithoutDisplayOrDelivery) {
    DravoMediaKeyTarget empty{};
    EXPECT_EQ(SetMMShellHook(&empty), 0);
    EXPECT_EQ(SetMMShellHook(nullptr), 0);
    UnSetMMShellHook(nullptr);
    UnSetMMShellHook(&empty);

    ScopedEnv no_display("DISPLAY", ":nonexistent");
    Received nobody;
    DravoMediaKeyTarget target{Received::record, &nobody, 0, 0};
    EXPECT_EQ(SetMMShellHook(&target), 0);
    UnSetMMShellHook(&target);
}

}  // namespace
}  // namespace dravo::test
