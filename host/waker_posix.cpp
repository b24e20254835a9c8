#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "waker.h"

namespace dravo {

Waker::Waker() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Waker::~Waker() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void Waker::wake() const {
    const std::uint64_t one = 1;
    // A full counter already means "woken": nothing to do when the write fails.
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

void Waker::clear() const {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = read(fd_, &count, sizeof count);
}

void Waker::wait(int timeout_ms) const {
    pollfd entry{fd_, POLLIN, 0};
    poll(&entry, 1, timeout_ms);
}

}  // namespace dravo
