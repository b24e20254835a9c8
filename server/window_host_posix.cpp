#include <dlfcn.h>

#include <cstdio>

#include "host_window_record.h"
#include "plugin_abi.h"
#include "window_host.h"

namespace dravo {
namespace {

class WindowHost : public PluginHost {
public:
    explicit WindowHost(const HostWindowRecord* window) : window_(window) {}

    std::intptr_t send(std::uint32_t message, std::uintptr_t wparam,
                       std::intptr_t lparam) override {
        return window_ ? window_->send(window_->context, message, wparam, lparam) : 0;
    }

    bool post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override {
        return window_ && window_->post(window_->context, message, wparam, lparam) != 0;
    }

    void message_box(const std::string& text, const std::string& caption) override {
        if (window_ && window_->message_box) {
            window_->message_box(window_->context, text.c_str(), caption.c_str(), 0);
            return;
        }
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }

    std::string module_directory() const override {
        // The folder of the file this very function was loaded from.
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&make_window_host), &info) == 0 ||
            !info.dli_fname) {
            return {};
        }
        std::string path = info.dli_fname;
        auto slash = path.rfind('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }

private:
    const HostWindowRecord* window_;
};

}  // namespace

std::unique_ptr<PluginHost> make_window_host(void* hwnd_parent) {
    auto* window = static_cast<const HostWindowRecord*>(hwnd_parent);
    bool usable = window && window->magic == kHostWindowMagic &&
                  window->size >= sizeof(HostWindowRecord) && window->send && window->post;
    return std::make_unique<WindowHost>(usable ? window : nullptr);
}

}  // namespace dravo
