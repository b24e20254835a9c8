#pragma once
// Keeps the window painting while a request is in flight: the work runs on a worker thread while
// the user-interface thread waits in a local event loop that excludes user input (clicks and keys
// wait in the queue and are handled after the request, in order). Timers and paint events still
// run, so handlers reached meanwhile must go through OperationQueue, which defers them.
// Needs a QCoreApplication; call run() on its thread only. Nothing fails here; a nested run()
// (from a handler reached during the wait) still waits for its own work.
#include "request_runner.h"

namespace dravo {

class EventLoopRunner final : public RequestRunner {
public:
    void run(const std::function<void()>& work) override;
};

}  // namespace dravo
