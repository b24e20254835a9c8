#pragma once
// The steady clock in milliseconds, the client's one time base: the sleep timer's waits, when a
// pushed state was read and the position's running on since.
#include <chrono>
#include <cstdint>

namespace dravo {

inline std::int64_t steady_clock_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace dravo
