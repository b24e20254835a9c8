#pragma once
// Keeps the client's operations from overlapping. While a request of one operation is in flight
// the user-interface thread still handles timers and other events (EventLoopRunner); a handler
// reached then must not start a second operation. run() defers such an operation until the
// running one has finished and then runs it, in the order they arrived; tick() does the same for
// the status timer but keeps at most one tick waiting, as a blocked window timer would.
// User-interface thread only. Nothing fails; an exception from an operation passes to the caller
// of the outermost run() after the queue has been left consistent (the waiting ones stay queued).
#include <deque>
#include <functional>

namespace dravo {

class OperationQueue {
public:
    using Operation = std::function<void()>;

    void run(Operation operation);
    void tick(Operation operation);
    // True while an operation runs: what a caller would call the busy flag.
    bool busy() const { return busy_; }
    // Runs each time the last waiting operation has finished (still counted as busy, so an
    // operation it starts runs right after it).
    void set_idle_hook(Operation hook) { idle_hook_ = std::move(hook); }

private:
    void drain();

    bool busy_ = false;
    bool tick_waiting_ = false;
    std::deque<std::pair<Operation, bool>> waiting_;  // the operation, whether it is a tick
    Operation idle_hook_;
};

}  // namespace dravo
