// The shell hook library in this process under Xvfb: the value each key press delivers, several
// targets, nothing after UnSetMMShellHook, the grabs after a keyboard mapping change, and a display
// that goes away.
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
    std::vector<std::uint32_t> wait_for(std::size_t count,
                                        std::chrono::milliseconds patience = kPatience) {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, patience, [&] { return values.size() >= count; });
        return values;
    }
};

// A target set for a scope, removed however the test leaves it.
struct ScopedHook {
    explicit ScopedHook(Received& received)
        : target{Received::record, &received, 0, 0}, set(SetMMShellHook(&target) != 0) {}
    ~ScopedHook() { UnSetMMShellHook(&target); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

    DravoMediaKeyTarget target;
    bool set;
};

// Key map lines for xmodmap, put back when the test ends (the server keeps its map for the tests
// that follow).
class KeyMapChange {
public:
    KeyMapChange(const std::vector<std::string>& change, std::vector<std::string> restore)
        : restore_(std::move(restore)) {
        EXPECT_TRUE(run(xmodmap(change)));
    }
    ~KeyMapChange() { EXPECT_TRUE(run(xmodmap(restore_))); }

private:
    static std::string xmodmap(const std::vector<std::string>& lines) {
        std::string command = "xmodmap";
        for (const auto& line : lines) {
            command += " -e '" + line + "'";
        }
        return command;
    }
    std::vector<std::string> restore_;
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

// The grabber takes a mapping change in its own time: press until the press arrives.
bool press_until_delivered(const std::string& keys, Received& received, std::size_t count) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < until) {
        press(keys);
        if (received.wait_for(count, 200ms).size() >= count) {
            return true;
        }
    }
    return false;
}

TEST(ShellHook, KeysFollowAKeyboardMappingChange) {
    // Xvfb's map: Mute on key code 121; nothing on 248.
    constexpr const char* kMuteHome = "keycode 121 = XF86AudioMute NoSymbol XF86AudioMute";
    Received received;
    const ScopedHook hook(received);
    ASSERT_TRUE(hook.set);
    press("XF86AudioMute");
    ASSERT_EQ(received.wait_for(1).size(), 1u);
    {
        // A layout with Mute elsewhere (xdotool finds the key by its new code).
        KeyMapChange moved({"keycode 121 = F20", "keycode 248 = XF86AudioMute"},
                           {kMuteHome, "keycode 248 ="});
        EXPECT_TRUE(press_until_delivered("ctrl+XF86AudioMute", received, 2));
        EXPECT_EQ(received.wait_for(2).back(),
                  value(DRAVO_APPCOMMAND_VOLUME_MUTE, DRAVO_MK_CONTROL));
        // The old key code, now F20, is free for other programs.
        std::string answer;
        const auto holder = hold_key("F20", answer);
        EXPECT_EQ(answer, "grabbed");
    }
    // Back home, and the other holder gone: Mute works at its first code again.
    EXPECT_TRUE(press_until_delivered("XF86AudioMute", received, 3));
}

TEST(ShellHook, KeysFollowANewKeymap) {
    // A layout switch loads a whole new keymap (XKB); in this one Mute's key is code 248.
    TempDir dir;
    const auto home = dir.file("home.xkb");
    const auto moved = dir.file("moved.xkb");
    ASSERT_TRUE(run("xkbcomp \"$DISPLAY\" " + home));
    std::string keymap = read_file(home);
    for (const auto& [from, to] : {std::pair{"<MUTE> = 121;", "<MUTE> = 248;"},
                                   std::pair{"<I248> = 248;", "<I248> = 121;"}}) {
        const auto at = keymap.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        keymap.replace(at, std::string(from).size(), to);
    }
    write_file(moved, keymap);
    Received received;
    const ScopedHook hook(received);
    ASSERT_TRUE(hook.set);
    EXPECT_TRUE(run("xkbcomp " + moved + " \"$DISPLAY\""));
    EXPECT_TRUE(press_until_delivered("XF86AudioMute", received, 1));
    EXPECT_TRUE(run("xkbcomp " + home + " \"$DISPLAY\""));
}

TEST(ShellHook, ALostDisplayEndsTheKeysButNotTheProgram) {
    // A display of its own, which the test then ends as a logout does.
    auto server = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"});
    const auto number = server->wait_line("", kPatience);
    ASSERT_TRUE(number) << "Xvfb did not start";
    Received received;
    {
        auto display = std::make_unique<ScopedEnv>("DISPLAY", (":" + *number).c_str());
        const ScopedHook hook(received);
        display.reset();
        ASSERT_TRUE(hook.set);
        server.reset();  // Xlib's default would now end this process with exit(1)
        std::this_thread::sleep_for(500ms);
    }
    // The hook works again on the desktop's display.
    const ScopedHook hook(received);
    ASSERT_TRUE(hook.set);
    press("XF86AudioStop");
    EXPECT_EQ(received.wait_for(1), std::vector<std::uint32_t>{value(DRAVO_APPCOMMAND_MEDIA_STOP)});
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
