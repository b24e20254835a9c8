#include "main_thread_queue.h"

#include <utility>

namespace dravo {

MainThreadQueue::MainThreadQueue(Handler handler, Wake wake)
    : main_thread_(std::this_thread::get_id()), handler_(std::move(handler)),
      wake_(std::move(wake)) {}

Reply MainThreadQueue::send(const Message& message) {
    if (on_main_thread()) {
        if (closed()) {
            return {};
        }
        return handler_(message, false);
    }
    Waiter waiter;
    std::unique_lock lock(mutex_);
    if (closed_) {
        return {};
    }
    items_.push_back(Item{message, &waiter, {}});
    lock.unlock();
    wake_();
    lock.lock();
    waiter.done_changed.wait(lock, [&] { return waiter.done; });
    return std::move(waiter.reply);
}

bool MainThreadQueue::post(const Message& message) { return enqueue(Item{message, nullptr, {}}); }

bool MainThreadQueue::post_task(std::function<void()> task) {
    return enqueue(Item{{}, nullptr, std::move(task)});
}

bool MainThreadQueue::enqueue(Item item) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        items_.push_back(std::move(item));
    }
    wake_();
    return true;
}

bool MainThreadQueue::drain() {
    // A handler that spins a nested event loop must not start a second drain underneath.
    if (draining_) {
        return false;
    }
    draining_ = true;
    bool ran = false;
    for (;;) {
        Item item;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty() || closed_) {
                break;
            }
            item = std::move(items_.front());
            items_.pop_front();
        }
        run(item);
        ran = true;
    }
    draining_ = false;
    return ran;
}

void MainThreadQueue::run(Item& item) {
    if (item.task) {
        item.task();
        return;
    }
    Reply reply = handler_(item.message, item.waiter == nullptr);
    if (item.waiter != nullptr) {
        // Notified under the lock: the waiter cannot return and destroy itself before that.
        std::lock_guard lock(mutex_);
        item.waiter->reply = std::move(reply);
        item.waiter->done = true;
        item.waiter->done_changed.notify_one();
    }
}

void MainThreadQueue::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (auto& item : items_) {
        if (item.waiter != nullptr) {
            item.waiter->done = true;
            item.waiter->done_changed.notify_one();
        }
    }
    items_.clear();
}

bool MainThreadQueue::closed() const { return closed_.load(); }

}  // namespace dravo
