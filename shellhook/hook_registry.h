#pragma once
// The targets of this process and the one key grabber that feeds them, behind each platform's
// entry points: the first target starts the grabber, the last one's removal ends it.
// Any thread; add() and remove() may throw only what allocation throws (the entries catch it).
// Header only: the entry points of one platform are its one user.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "dravo_shellhook.h"
#include "key_grabber.h"

namespace dravo::shellhook {

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

}  // namespace dravo::shellhook
