#pragma once
// The platform half of the shell hook: catches the media keys system-wide on a thread of its own
// and hands each press, as a media-key message value, to a delivery function on that thread.
// start_key_grabber() and the destructor are called from one thread at a time (the entry points
// serialise them). Failure: start_key_grabber() gives nothing when there is no display or every
// key is held by others; the report says which.
#include <cstdint>
#include <functional>
#include <memory>

namespace dravo::shellhook {

struct GrabReport {
    int grabbed = 0;  // key codes grabbed for every modifier set
    int held = 0;     // key codes another program had grabbed first, skipped
};

class KeyGrabber {
public:
    using Deliver = std::function<void(std::uint32_t lparam)>;

    virtual ~KeyGrabber() = default;  // releases the grabs and joins the thread
};

// Opens its own connection, grabs the keys and starts delivering; returns once the grabs are
// known. deliver runs on the grabber's thread until the grabber is destroyed.
std::unique_ptr<KeyGrabber> start_key_grabber(KeyGrabber::Deliver deliver, GrabReport& report);

}  // namespace dravo::shellhook
