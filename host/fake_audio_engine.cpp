#include "fake_audio_engine.h"

namespace dravo {

void FakeAudioEngine::add_track(const std::string& path, int length_ms) {
    lengths_[path] = length_ms;
}

void FakeAudioEngine::load(const std::string& path) {
    ++load_count_;
    loaded_ = path;
    position_ = 0;
    paused_ = false;
    loaded_ok_ = lengths_.count(path) != 0;
    failure_pending_ = !loaded_ok_;
}

void FakeAudioEngine::stop() {
    loaded_.clear();
    loaded_ok_ = false;
    failure_pending_ = false;
    position_ = 0;
}

void FakeAudioEngine::seek(int position_ms) {
    if (loaded_ok_) {
        position_ = position_ms < 0 ? 0 : position_ms;
    }
}

int FakeAudioEngine::position_ms() const {
    if (!loaded_ok_) {
        return -1;
    }
    return position_ < length_ms() ? position_ : length_ms();
}

int FakeAudioEngine::length_ms() const {
    if (!loaded_ok_) {
        return -1;
    }
    return lengths_.at(loaded_);
}

void FakeAudioEngine::advance(int ms) {
    if (failure_pending_) {
        end_track(true);
        return;
    }
    if (!loaded_ok_) {
        return;
    }
    if (!paused_) {
        position_ += ms;
    }
    if (position_ >= length_ms()) {
        end_track(false);
    }
}

void FakeAudioEngine::end_track(bool failed) {
    loaded_.clear();
    loaded_ok_ = false;
    failure_pending_ = false;
    position_ = 0;
    if (listener_ != nullptr) {
        listener_->on_track_end(failed);
    }
}

}  // namespace dravo
