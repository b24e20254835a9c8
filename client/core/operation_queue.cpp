#include "operation_queue.h"

namespace dravo {

void OperationQueue::run(Operation operation) {
    waiting_.emplace_back(std::move(operation), false);
    drain();
}

void OperationQueue::tick(Operation operation) {
    if (tick_waiting_) {
        return;  // ticks due while busy merge into one
    }
    tick_waiting_ = true;
    waiting_.emplace_back(std::move(operation), true);
    drain();
}

void OperationQueue::drain() {
    if (busy_) {
        return;  // the running operation's drain picks it up
    }
    busy_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{busy_};
    while (!waiting_.empty()) {
        auto [operation, is_tick] = std::move(waiting_.front());
        waiting_.pop_front();
        if (is_tick) {
            tick_waiting_ = false;
        }
        operation();
        if (waiting_.empty() && idle_hook_) {
            idle_hook_();
        }
    }
}

}  // namespace dravo
