// dravo_shellhook.dll under wine, loaded at run time as the client loads it: a key press made with
// SendInput reaches the window as the media-key message with the application-command layout, with
// its modifiers; after UnSetMMShellHook nothing more arrives.
// With --wait-key the program instead waits up to 10 s for one media key from outside (the X
// server, e.g. xdotool) and prints its value: "key <lparam>", or "no key".
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "dravo_shellhook.h"
#include "media_key_value.h"

namespace dravo::test {
namespace {

using SetHook = int (*)(HWND);
using UnSetHook = void (*)(HWND);

template <typename Entry>
Entry entry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

struct HookLibrary {
    HMODULE module = LoadLibraryA("dravo_shellhook.dll");
    SetHook set = entry<SetHook>(module, "SetMMShellHook");
    UnSetHook unset = entry<UnSetHook>(module, "UnSetMMShellHook");
};

std::optional<std::uint32_t> wait_for_key(HWND window, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout_ms) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.hwnd == window && message.message == DRAVO_MEDIA_KEY_MESSAGE) {
                return static_cast<std::uint32_t>(message.lParam);
            }
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return std::nullopt;
}

void press(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class ShellHook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.set && library.unset) << "dravo_shellhook.dll or its entries missing";
        window = CreateWindowExA(0, "STATIC", "hook target", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(window);
    }
    void TearDown() override { DestroyWindow(window); }

    HookLibrary library;
    HWND window = nullptr;
};

TEST_F(ShellHook, SentKeysArriveWithTheirCommandAndModifiers) {
    ASSERT_NE(library.set(window), 0);
    EXPECT_NE(library.set(window), 0);  // twice: still one delivery per key
    const struct {
        std::vector<WORD> keys;
        std::uint32_t lparam;
    } cases[] = {
        {{VK_MEDIA_NEXT_TRACK}, media_key_lparam(DRAVO_APPCOMMAND_MEDIA_NEXTTRACK)},
        {{VK_SHIFT, VK_MEDIA_NEXT_TRACK},
         media_key_lparam(DRAVO_APPCOMMAND_MEDIA_NEXTTRACK, {.shift = true})},
        {{VK_CONTROL, VK_SHIFT, VK_LAUNCH_MAIL},
         media_key_lparam(DRAVO_APPCOMMAND_LAUNCH_MAIL, {.shift = true, .ctrl = true})},
        {{VK_VOLUME_UP}, media_key_lparam(DRAVO_APPCOMMAND_VOLUME_UP)},
        {{VK_MEDIA_PLAY_PAUSE}, media_key_lparam(DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE)},
    };
    for (const auto& c : cases) {
        press(c.keys);
        EXPECT_EQ(wait_for_key(window, 5000), c.lparam) << std::hex << c.lparam;
    }
    press({'A'});  // not a media key
    library.unset(window);
    press({VK_MEDIA_NEXT_TRACK});
    EXPECT_EQ(wait_for_key(window, 300), std::nullopt);
}

TEST_F(ShellHook, NoWindowIsRefusedAndAnUnknownOneIgnored) {
    EXPECT_EQ(library.set(nullptr), 0);
    library.unset(window);  // never set: ignored
}

}  // namespace
}  // namespace dravo::test

namespace {

int wait_for_outside_key() {
    dravo::test::HookLibrary library;
    // Shown, so that the X server has a window of wine's to give the keyboard focus to.
    HWND window = CreateWindowExA(0, "STATIC", "hook target", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!library.set || library.set(window) == 0) {
        std::puts("no hook");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    const auto key = dravo::test::wait_for_key(window, 10000);
    library.unset(window);
    if (key) {
        std::printf("key %#x\n", static_cast<unsigned>(*key));
    } else {
        std::puts("no key");
    }
    return key ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--wait-key") == 0) {
        return wait_for_outside_key();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
