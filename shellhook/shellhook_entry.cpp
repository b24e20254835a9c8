// The library's C entry points: the targets of the client and the one key grabber that feeds
// them. Nothing escapes them.
#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "dravo_shellhook.h"
#include "key_grabber.h"

// Marks the library's two exported entries, whatever the compiler (like the plug-in's entry).
#if defined(_WIN32)
#define DRAVO_SHELLHOOK_EXPORT extern "C" __declspec(dllexport)
#else
#define DRAVO_SHELLHOOK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace dravo::shellhook {
namespace {

// Set/UnSet take lifecycle_ and, inside it, targets_mutex_; delivery takes only targets_mutex_,
// so a removal waits for a delivery in progress, and a grabber is joined without holding the
// mutex its thread may be waiting for.
class HookRegistry {
public:
    static HookRegistry& get() {
        static auto* registry = new HookRegistry;  // never destroyed: no join at process exit
        return *registry;
    }

    bool add(DravoMediaKeyTarget* target) {
        std::lock_guard lifecycle(lifecycle_);
        if (!grabber_) {
            grabber_ =
                start_key_grabber([this](std::uint32_t lparam) { deliver(lparam); }, report_);
        }
        target->grabbed_keys = report_.grabbed;
        target->held_keys = report_.held;
        if (!grabber_) {
            return false;
        }
        std::lock_guard lock(targets_mutex_);
        if (std::find(targets_.begin(), targets_.end(), target) == targets_.end()) {
            targets_.push_back(target);
        }
        return true;
    }

    void remove(DravoMediaKeyTarget* target) {
        std::lock_guard lifecycle(lifecycle_);
        std::unique_ptr<KeyGrabber> ending;
        {
            std::lock_guard lock(targets_mutex_);
            std::erase(targets_, target);
            if (targets_.empty()) {
                ending = std::move(grabber_);
            }
        }
        ending.reset();  // releases the grabs
    }

private:
    void deliver(std::uint32_t lparam) {
        std::lock_guard lock(targets_mutex_);
        for (auto* target : targets_) {
            target->deliver(target->context, DRAVO_MEDIA_KEY_MESSAGE, lparam);
        }
    }

    std::mutex lifecycle_;
    std::mutex targets_mutex_;
    std::vector<DravoMediaKeyTarget*> targets_;
    std::unique_ptr<KeyGrabber> grabber_;
    GrabReport report_;
};

}  // namespace
}  // namespace dravo::shellhook

DRAVO_SHELLHOOK_EXPORT int SetMMShellHook(DravoMediaKeyTarget* target) {
    if (target == nullptr || target->deliver == nullptr) {
        return 0;
    }
    try {
        return dravo::shellhook::HookRegistry::get().add(target) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

DRAVO_SHELLHOOK_EXPORT void UnSetMMShellHook(DravoMediaKeyTarget* target) {
    if (target == nullptr) {
        return;
    }
    try {
        dravo::shellhook::HookRegistry::get().remove(target);
    } catch (...) {
    }
}
