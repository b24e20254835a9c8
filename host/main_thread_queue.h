#pragma once
// Runs plug-in messages on the host's main thread, one at a time, in the order they arrive.
// send waits for the result (a send from the main thread itself runs at once); post and
// post_task queue without waiting. After close every send returns 0 at once and every post is
// refused, and senders still waiting are released with 0: a plug-in whose quit joins a thread
// blocked in send cannot deadlock the host.
// send/post/post_task: any thread. drain/close: the main thread (the constructing thread).
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "message_dispatcher.h"

namespace dravo {

class MainThreadQueue {
public:
    // handler runs on the main thread; wake is called from any thread after something was
    // queued and must make the main thread call drain soon.
    using Handler = std::function<Reply(const Message& message, bool posted)>;
    using Wake = std::function<void()>;

    MainThreadQueue(Handler handler, Wake wake);
    MainThreadQueue(const MainThreadQueue&) = delete;
    MainThreadQueue& operator=(const MainThreadQueue&) = delete;

    Reply send(const Message& message);
    bool post(const Message& message);
    bool post_task(std::function<void()> task);

    // Runs everything queued so far. False when there was nothing.
    bool drain();
    void close();
    bool closed() const;
    bool on_main_thread() const { return std::this_thread::get_id() == main_thread_; }

private:
    struct Waiter {
        Reply reply;
        bool done = false;
        std::condition_variable done_changed;
    };
    struct Item {
        Message message;
        Waiter* waiter = nullptr;  // null for a post
        std::function<void()> task;
    };

    bool enqueue(Item item);
    void run(Item& item);

    const std::thread::id main_thread_;
    Handler handler_;
    Wake wake_;
    bool draining_ = false;  // main thread only

    mutable std::mutex mutex_;  // guards items_, every Waiter while queued, and closed_'s
                                // writes (closed() reads it without the lock: senders ask
                                // before every snapshot read)
    std::deque<Item> items_;
    std::atomic<bool> closed_{false};
};

}  // namespace dravo
