// Media keys on Windows: a low-level keyboard hook, set from a thread of the grabber's own. Such a
// hook needs no injection into other processes: the system calls it on the thread that set it,
// through that thread's message queue, for every key press on the desktop, so the thread does
// nothing but wait for messages. The keys pass on to other programs unchanged.
#include <windows.h>

#include <future>
#include <thread>

#include "dravo_shellhook.h"
#include "key_grabber.h"
#include "media_key_value.h"

namespace dravo::shellhook {
namespace {

struct KeyCommand {
    DWORD virtual_key;
    int command;
};

// MEDIA_PLAY and MEDIA_PAUSE have no virtual key of their own.
constexpr KeyCommand kKeys[] = {
    {VK_MEDIA_NEXT_TRACK, DRAVO_APPCOMMAND_MEDIA_NEXTTRACK},
    {VK_MEDIA_PREV_TRACK, DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK},
    {VK_MEDIA_PLAY_PAUSE, DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE},
    {VK_MEDIA_STOP, DRAVO_APPCOMMAND_MEDIA_STOP},
    {VK_VOLUME_DOWN, DRAVO_APPCOMMAND_VOLUME_DOWN},
    {VK_VOLUME_UP, DRAVO_APPCOMMAND_VOLUME_UP},
    {VK_VOLUME_MUTE, DRAVO_APPCOMMAND_VOLUME_MUTE},
    {VK_LAUNCH_MAIL, DRAVO_APPCOMMAND_LAUNCH_MAIL},
    {VK_LAUNCH_APP2, DRAVO_APPCOMMAND_LAUNCH_APP2},
};

// The hook procedure runs on the thread that set the hook, which is the grabber's.
thread_local const KeyGrabber::Deliver* t_deliver = nullptr;

bool is_down(int virtual_key) { return (GetAsyncKeyState(virtual_key) & 0x8000) != 0; }

LRESULT CALLBACK on_key(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && t_deliver) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        for (const auto& known : kKeys) {
            if (known.virtual_key == key->vkCode) {
                (*t_deliver)(media_key_lparam(known.command, {.shift = is_down(VK_SHIFT),
                                                              .ctrl = is_down(VK_CONTROL),
                                                              .alt = is_down(VK_MENU)}));
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

HMODULE this_module() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&on_key), &module);
    return module;
}

class WindowsKeyGrabber final : public KeyGrabber {
public:
    explicit WindowsKeyGrabber(Deliver deliver) : deliver_(std::move(deliver)) {}

    // True once the hook is set and the thread waits for keys.
    bool start() {
        std::promise<DWORD> started;
        auto result = started.get_future();
        thread_ = std::thread([this, &started] { run(started); });
        thread_id_ = result.get();
        if (thread_id_ == 0) {
            thread_.join();
        }
        return thread_id_ != 0;
    }

    ~WindowsKeyGrabber() override {
        if (thread_.joinable()) {
            PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
            thread_.join();
        }
    }

private:
    void run(std::promise<DWORD>& started) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue, before anyone posts
        t_deliver = &deliver_;
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, on_key, this_module(), 0);
        started.set_value(hook ? GetCurrentThreadId() : 0);
        if (!hook) {
            return;
        }
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            DispatchMessageA(&message);
        }
        UnhookWindowsHookEx(hook);
        t_deliver = nullptr;
    }

    Deliver deliver_;
    std::thread thread_;
    DWORD thread_id_ = 0;
};

}  // namespace

std::unique_ptr<KeyGrabber> start_key_grabber(KeyGrabber::Deliver deliver, GrabReport& report) {
    report = {};
    auto grabber = std::make_unique<WindowsKeyGrabber>(std::move(deliver));
    if (!grabber->start()) {
        return nullptr;
    }
    report.grabbed = static_cast<int>(std::size(kKeys));
    return grabber;
}

}  // namespace dravo::shellhook
