#pragma once
// Polls until done() holds, every 2 ms; false when patience ran out (a hang, not a measurement).
// Any thread; done() runs on the caller's.
#include <chrono>
#include <thread>

namespace dravo::test {

template <typename Done>
bool eventually(Done done, std::chrono::seconds patience = std::chrono::seconds(20)) {
    for (auto until = std::chrono::steady_clock::now() + patience;
         std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
        if (done()) {
            return true;
        }
    }
    return false;
}

}  // namespace dravo::test
