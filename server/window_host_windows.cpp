// The host boundary on Windows: window messages to the host's main window (the record's
// hwndParent), message boxes on a thread of their own, and the folder of this very DLL.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "window_host.h"

namespace dravo {
namespace {

// Asks the box shown on one thread to close, as its OK button would.
BOOL CALLBACK close_window(HWND window, LPARAM) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// One message box at a time, on its own thread: the listener must go on serving while the user
// reads it, and a flood of unknown paths must not open a flood of boxes. A message that arrives
// while a box is open is dropped, after a line on standard error.
class BoxShower {
public:
    ~BoxShower() { close_and_join(); }

    void show(const std::string& text, const std::string& caption) {
        std::lock_guard lock(mutex_);
        if (showing_.load()) {
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
            return;
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        showing_.store(true);
        try {
            thread_ = std::thread([this, text, caption] {
                thread_id_.store(GetCurrentThreadId());
                MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND);
                showing_.store(false);
            });
        } catch (...) {
            showing_.store(false);
        }
    }

    // The DLL may be unloaded after quit: no box may outlive it. At the end of the process the
    // box's thread may already be gone without saying so, hence the limit.
    void close_and_join() {
        std::lock_guard lock(mutex_);
        for (int tries = 0; showing_.load() && tries < 200; ++tries) {
            if (DWORD id = thread_id_.load()) {
                EnumThreadWindows(id, close_window, 0);
            }
            Sleep(10);
        }
        if (!thread_.joinable()) {
            return;
        }
        if (showing_.load()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }

private:
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> showing_{false};
    std::atomic<DWORD> thread_id_{0};
};

class WindowHost : public PluginHost {
public:
    explicit WindowHost(HWND window) : window_(window) {}

    std::intptr_t send(std::uint32_t message, std::uintptr_t wparam,
                       std::intptr_t lparam) override {
        // A window that is gone answers 0 at once.
        return window_ ? static_cast<std::intptr_t>(SendMessageA(window_, message, wparam, lparam))
                       : 0;
    }

    bool post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override {
        return window_ && PostMessageA(window_, message, wparam, lparam) != 0;
    }

    void message_box(const std::string& text, const std::string& caption) override {
        boxes_.show(text, caption);
    }

    std::string module_directory() const override {
        HMODULE module = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(&make_window_host), &module)) {
            return {};
        }
        std::string path(MAX_PATH, '\0');
        for (;;) {
            DWORD n = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) {
                return {};
            }
            if (n < path.size()) {
                path.resize(n);
                break;
            }
            path.resize(path.size() * 2);  // cut short: a longer path than MAX_PATH
        }
        auto slash = path.rfind('\\');
        return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }

    // Sent messages are carried out by the receiving thread only while it looks at its queue.
    void keep_answering_until(const std::function<bool()>& done) override {
        MSG message;
        while (!done()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        boxes_.close_and_join();
    }

private:
    HWND window_;
    BoxShower boxes_;
};

}  // namespace

std::unique_ptr<PluginHost> make_window_host(void* hwnd_parent) {
    HWND window = static_cast<HWND>(hwnd_parent);
    return std::make_unique<WindowHost>(window && IsWindow(window) ? window : nullptr);
}

}  // namespace dravo
