#pragma once
// The parts around the client's window that its start-up and shutdown drive, one small
// interface each, so every window kind (Qt here, Win32 there) supplies its own and the order
// itself lives once, in ClientLifecycle.
// Called on the user-interface thread only, never from inside a request. Failures: init() and
// install() answer false and the start-up tells the user; the others cannot fail.
#include <functional>

namespace dravo {

// The window timers, numbered as the window system knows them.
enum class ClientTimer { status = 1, sleep = 2 };
enum class TrayClick { left, right, other };

class OnScreenDisplay {
public:
    virtual ~OnScreenDisplay() = default;
    virtual bool init(bool enabled, int duration_seconds, int outline_width) = 0;
};

class NotificationIcon {
public:
    virtual ~NotificationIcon() = default;
    virtual void add() = 0;
    virtual void remove() = 0;
};

// The media keys (and whatever else delivers them, such as a desktop bus).
class KeyHook {
public:
    virtual ~KeyHook() = default;
    // false: no key will reach the client.
    virtual bool install() = 0;
    // The key bindings, once the window's controls are set up.
    virtual void register_actions() {}
    virtual void remove() = 0;
};

// No media keys: the program runs without them and says nothing.
class NoKeyHook : public KeyHook {
public:
    bool install() override { return true; }
    void remove() override {}
};

// The window system's timers and the end of its event loop. A fired timer comes back through
// ClientLifecycle::timer_fired; the status timer repeats, the sleep timer fires once.
class ClientLoop {
public:
    virtual ~ClientLoop() = default;
    virtual void start_timer(ClientTimer timer, int period_ms) = 0;
    virtual void stop_timer(ClientTimer timer) = 0;
    // Runs call after at least ms, from the event loop, never inside the caller.
    virtual void call_later(int ms, std::function<void()> call) = 0;
    // The window is hidden for good and the event loop ends; called once, after the shutdown.
    virtual void end_loop() = 0;
};

}  // namespace dravo
