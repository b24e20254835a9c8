#include "fake_audio_engine.h"

namespace dravo {

void FakeAudioEngine::add_track(const std::string& path, int length_ms) {
    std::lock_guard lock(mutex_);
    lengths_[path] = length_ms;
}

void FakeAudioEngine::load(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++load_count_;
    loaded_ = path;
    position_ = 0;
    paused_ = false;
    loaded_ok_ = lengths_.count(path) != 0;
    failure_pending_ = !loaded_ok_;
}

void FakeAudioEngine::pause() {
    std::lock_guard lock(mutex_);
    paused_ = true;
}

void FakeAudioEngine::resume() {
    std::lock_guard lock(mutex_);
    paused_ = false;
}

void FakeAudioEngine::stop() {
    std::lock_guard lock(mutex_);
    loaded_.clear();
    loaded_ok_ = false;
    failure_pending_ = false;
    position_ = 0;
}

void FakeAudioEngine::seek(int position_ms) {
    std::lock_guard lock(mutex_);
    if (loaded_ok_) {
        position_ = position_ms < 0 ? 0 : position_ms;
    }
}

int FakeAudioEngine::position_ms() const {
    std::lock_guard lock(mutex_);
    if (!loaded_ok_) {
        return -1;
    }
    return position_ < length_locked() ? position_ : length_locked();
}

int FakeAudioEngine::length_ms() const {
    std::lock_guard lock(mutex_);
    return length_locked();
}

int FakeAudioEngine::length_locked() const { return loaded_ok_ ? lengths_.at(loaded_) : -1; }

void FakeAudioEngine::advance(int ms) {
    bool ended = false;
    bool failed = false;
    {
        std::lock_guard lock(mutex_);
        if (failure_pending_) {
            ended = failed = true;
        } else if (loaded_ok_) {
            if (!paused_) {
                position_ += ms;
            }
            ended = position_ >= length_locked();
        }
    }
    if (ended) {
        end_track(failed);
    }
}

void FakeAudioEngine::end_track(bool failed) {
    {
        std::lock_guard lock(mutex_);
        loaded_.clear();
        loaded_ok_ = false;
        failure_pending_ = false;
        position_ = 0;
    }
    // Outside the lock: the listener loads the next track through this engine.
    if (listener_ != nullptr) {
        listener_->on_track_end(failed);
    }
}

}  // namespace dravo
