#include "late_answer.h"

namespace dravo {

LateAnswer::~LateAnswer() {
    if (finished_ && !taken_ && result_.then) {
        try {
            result_.then();
        } catch (...) {  // a destructor lets nothing out
        }
    }
}

void LateAnswer::finish(std::string body, std::function<void()> then) {
    std::lock_guard lock(mutex_);
    if (finished_) {
        return;
    }
    result_ = {std::move(body), std::move(then)};
    finished_ = true;
}

std::optional<LateAnswer::Result> LateAnswer::take() {
    std::lock_guard lock(mutex_);
    if (!finished_ || taken_) {
        return std::nullopt;
    }
    taken_ = true;
    return std::move(result_);
}

}  // namespace dravo
