#pragma once
// What the player looks like from outside, published by the player model after every change so
// that other threads can answer read-only questions without waiting for the main thread.
// publish: main thread only (the model's). read: any thread; it takes a short lock and copies a
// few numbers and one shared pointer, and never waits for the main thread's work.
#include <mutex>

#include "playlist.h"

namespace dravo {

enum class PlayState { stopped = 0, playing = 1, paused = 3 };

struct PlayerSnapshot {
    PlayState state = PlayState::stopped;
    int current = 0;
    int volume = 0;
    bool shuffle = false;
    bool repeat = false;
    PlaylistView playlist;  // immutable; a change publishes a new view
};

class SnapshotBoard {
public:
    void publish(PlayerSnapshot snapshot) {
        {
            std::lock_guard lock(mutex_);
            std::swap(snapshot_, snapshot);
        }
        // The old one goes here, outside the lock: it may hold the last pointer to a long
        // playlist.
    }
    PlayerSnapshot read() const {
        std::lock_guard lock(mutex_);
        return snapshot_;
    }

private:
    mutable std::mutex mutex_;
    PlayerSnapshot snapshot_;
};

}  // namespace dravo
