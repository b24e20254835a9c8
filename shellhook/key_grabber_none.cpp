// Platforms without a way to catch keys system-wide: the hook never installs.
#include "key_grabber.h"

namespace dravo::shellhook {

std::unique_ptr<KeyGrabber> start_key_grabber(KeyGrabber::Deliver, GrabReport& report) {
    report = {};
    return nullptr;
}

}  // namespace dravo::shellhook
