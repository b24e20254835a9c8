#pragma once
// An answer body that a command finishes later on a thread of its own, while the listener goes on
// serving the other connections ("/update" waits for the network). The worker fills it once
// (finish); the listener thread, which keeps it for the waiting connection, looks at it on every
// turn of its loop (take) and writes it.
// Shared by those two threads: every member may be called from any thread. No failure: an
// answer whose connection is gone is finished into the void, and its follow-up still runs.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace dravo {

class LateAnswer {
public:
    struct Result {
        std::string body;
        // Run by the listener once the body is queued and a first write was tried ("/update"
        // asks the host to close only after its answer); may be empty. May not throw.
        std::function<void()> then;
    };

    LateAnswer() = default;
    LateAnswer(const LateAnswer&) = delete;
    LateAnswer& operator=(const LateAnswer&) = delete;
    // A finished answer nobody took (its connection was dropped, the listener ended) still runs
    // its follow-up, on whichever thread lets go of the answer last.
    ~LateAnswer();

    // The first call counts; later ones are ignored.
    void finish(std::string body, std::function<void()> then = {});
    // The result once finished, handed out once; nullopt before and after.
    std::optional<Result> take();

private:
    std::mutex mutex_;
    bool finished_ = false;
    bool taken_ = false;
    Result result_;
};

// Hands the connection's answer over to a worker: the connection keeps the returned answer (its
// header already queued), waits without a read limit, and writes the body once it is finished.
using DeferAnswer = std::function<std::shared_ptr<LateAnswer>()>;

}  // namespace dravo
