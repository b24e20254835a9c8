#pragma once
// Random order without repeats: every entry is picked once per round, at random, in O(1).
// Keeps the history of played entries so that "previous" can walk back.
// Owned by the player model; main thread only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace dravo {

class ShuffleOrder {
public:
    explicit ShuffleOrder(std::uint32_t seed) : random_(seed) {}

    // A new playlist of size entries: all unplayed, no history.
    void reset(std::size_t size);
    // Entries appended at the end join the current round as unplayed.
    void grow(std::size_t size);
    // Entry index started playing.
    void mark_played(std::size_t index);
    // A random entry not yet played in this round; nullopt when the round is complete.
    std::optional<std::size_t> pick();
    // Starts a new round in which only current counts as played.
    void new_round(std::size_t current);
    // The entry played before the current one (which leaves the history); nullopt at the start.
    std::optional<std::size_t> back();

    std::size_t unplayed() const { return unplayed_.size(); }

private:
    static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);
    static constexpr std::size_t kHistoryMax = 1000;

    void take(std::size_t index);

    std::mt19937 random_;
    std::vector<std::size_t> unplayed_;  // entries still to come this round
    std::vector<std::size_t> slot_;      // entry -> place in unplayed_, or kNotListed
    std::vector<std::size_t> history_;
};

}  // namespace dravo
