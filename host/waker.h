#pragma once
// Wakes the host's main loop from any thread, and from a signal handler: wake() only writes to
// a kernel counter. The main loop waits on fd() (with poll, or a Qt socket notifier) and calls
// clear() before it looks for work.
namespace dravo {

class Waker {
public:
    Waker();
    ~Waker();
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void wake() const;   // any thread, async-signal-safe
    void clear() const;  // main thread
    // Waits until woken or timeout_ms passed (-1: no limit). Main thread.
    void wait(int timeout_ms) const;

private:
    int fd_ = -1;
};

}  // namespace dravo
