#include "shuffle_order.h"

namespace dravo {

void ShuffleOrder::reset(std::size_t size) {
    unplayed_.clear();
    slot_.clear();
    history_.clear();
    grow(size);
}

void ShuffleOrder::grow(std::size_t size) {
    for (std::size_t index = slot_.size(); index < size; ++index) {
        slot_.push_back(unplayed_.size());
        unplayed_.push_back(index);
    }
}

void ShuffleOrder::mark_played(std::size_t index) {
    if (index >= slot_.size()) {
        return;
    }
    take(index);
    if (history_.empty() || history_.back() != index) {
        if (history_.size() == kHistoryMax) {
            history_.erase(history_.begin());
        }
        history_.push_back(index);
    }
}

std::optional<std::size_t> ShuffleOrder::pick() {
    if (unplayed_.empty()) {
        return std::nullopt;
    }
    std::uniform_int_distribution<std::size_t> choose(0, unplayed_.size() - 1);
    return unplayed_[choose(random_)];
}

void ShuffleOrder::new_round(std::size_t current) {
    const std::size_t size = slot_.size();
    unplayed_.clear();
    slot_.clear();
    grow(size);
    if (current < size) {
        take(current);
    }
}

std::optional<std::size_t> ShuffleOrder::back() {
    if (history_.size() < 2) {
        return std::nullopt;
    }
    history_.pop_back();
    // The entry stays last: playing it again marks it without a duplicate.
    return history_.back();
}

void ShuffleOrder::take(std::size_t index) {
    const std::size_t place = slot_[index];
    if (place == kNotListed) {
        return;
    }
    const std::size_t last = unplayed_.back();
    unplayed_[place] = last;
    slot_[last] = place;
    unplayed_.pop_back();
    slot_[index] = kNotListed;
}

}  // namespace dravo
