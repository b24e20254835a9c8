#pragma once
// How a request's blocking work is run. The caller always gets control back only when the work
// has finished, so requests stay strictly one after another; a runner only decides what the
// caller's thread does meanwhile. Call run() on the user-interface thread; work may run on
// another thread and must touch nothing but what it captured. A runner never fails: the work
// reports its own outcome.
#include <functional>

namespace dravo {

class RequestRunner {
public:
    virtual ~RequestRunner() = default;
    virtual void run(const std::function<void()>& work) = 0;
};

// Runs the work on the calling thread: for tests, benchmarks and programs without a window.
class BlockingRunner final : public RequestRunner {
public:
    void run(const std::function<void()>& work) override { work(); }
};

}  // namespace dravo
