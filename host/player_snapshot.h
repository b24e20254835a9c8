#pragma once
// What the player looks like from outside, published by the player model after every change so
// that other threads can answer read-only questions without waiting for the main thread.
// publish: main thread only (the model's). read: any thread; it takes a short lock and copies a
// few numbers and one shared pointer, and never waits for the main thread's work. read_latest:
// the same for a thread that asks often (a plug-in listing a long playlist asks once per entry).
#include <atomic>
#include <cstdint>
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
            version_.store(next_version(), std::memory_order_release);
        }
        // The old one goes here, outside the lock: it may hold the last pointer to a long
        // playlist.
    }
    PlayerSnapshot read() const {
        std::lock_guard lock(mutex_);
        return snapshot_;
    }
    // The calling thread keeps a copy and takes the lock only when something was published
    // since its last call; otherwise one atomic load. The reference is valid until the same
    // thread's next call; the copy holds on to the playlist it shows until then.
    const PlayerSnapshot& read_latest() const {
        thread_local Kept kept;
        if (kept.version != version_.load(std::memory_order_acquire)) {
            std::lock_guard lock(mutex_);
            kept.snapshot = snapshot_;
            kept.version = version_.load(std::memory_order_relaxed);
        }
        return kept.snapshot;
    }

private:
    struct Kept {
        std::uint64_t version = 0;
        PlayerSnapshot snapshot;
    };
    // Unique across boards, so that a thread's copy of one never passes for another's.
    static std::uint64_t next_version() {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }

    mutable std::mutex mutex_;
    PlayerSnapshot snapshot_;
    std::atomic<std::uint64_t> version_{next_version()};
};

}  // namespace dravo
