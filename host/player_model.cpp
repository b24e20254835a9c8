#include "player_model.h"

#include <algorithm>

namespace dravo {

PlayerModel::PlayerModel(AudioEngine& engine, TitleReader titles, std::uint32_t shuffle_seed)
    : engine_(engine), playlist_(std::move(titles)), order_(shuffle_seed) {
    engine_.set_listener(this);
    engine_.set_volume((volume_ * 100 + kVolumeMax / 2) / kVolumeMax);
    publish();
}

PlayerModel::~PlayerModel() { engine_.set_listener(nullptr); }

void PlayerModel::add(std::vector<std::string> paths) {
    if (playlist_.add(std::move(paths)) > 0) {
        order_.grow(playlist_.size());
        ++playlist_revision_;
        publish();
    }
}

void PlayerModel::clear() {
    engine_.stop();
    state_ = PlayState::stopped;
    playlist_.clear();
    order_.reset(0);
    current_ = 0;
    ++playlist_revision_;
    ++settings_revision_;
    publish();
}

const std::string* PlayerModel::file_name(int index) const {
    return index < 0 ? nullptr : playlist_.file_name(static_cast<std::size_t>(index));
}

const std::string* PlayerModel::title(int index) {
    return index < 0 ? nullptr : playlist_.title(static_cast<std::size_t>(index));
}

void PlayerModel::set_current(int index) {
    if (index >= 0 && index < size()) {
        current_ = index;
        ++settings_revision_;
    }
    publish();
}

void PlayerModel::play() {
    if (state_ == PlayState::paused) {
        engine_.resume();
        state_ = PlayState::playing;
    } else if (!playlist_.empty()) {
        start(current_);
    }
    publish();
}

void PlayerModel::pause() {
    if (state_ == PlayState::playing) {
        engine_.pause();
        state_ = PlayState::paused;
    } else if (state_ == PlayState::paused) {
        engine_.resume();
        state_ = PlayState::playing;
    }
    publish();
}

void PlayerModel::stop() {
    if (state_ != PlayState::stopped) {
        engine_.stop();
        state_ = PlayState::stopped;
    }
    publish();
}

void PlayerModel::next() {
    if (!playlist_.empty()) {
        move_to(step_forward());
    }
    publish();
}

void PlayerModel::previous() {
    if (!playlist_.empty()) {
        move_to(step_back());
    }
    publish();
}

void PlayerModel::forward_5s() {
    const int position = position_ms();
    if (position >= 0) {
        engine_.seek(position + kSeekStepMs);
    }
}

void PlayerModel::back_5s() {
    const int position = position_ms();
    if (position >= 0) {
        engine_.seek(std::max(0, position - kSeekStepMs));
    }
}

int PlayerModel::seek_to(int position_ms) {
    if (state_ == PlayState::stopped) {
        return -1;
    }
    const int length = engine_.length_ms();
    if (length > 0 && position_ms >= length) {
        return 1;
    }
    engine_.seek(std::max(0, position_ms));
    return 0;
}

int PlayerModel::position_ms() const { return position_answer(state_, engine_.position_ms()); }

int PlayerModel::length_s() const { return length_answer(state_, engine_.length_ms()); }

int position_answer(PlayState state, int engine_position_ms) {
    if (state == PlayState::stopped) {
        return -1;
    }
    // A track that is still opening has not moved yet.
    return std::max(0, engine_position_ms);
}

int length_answer(PlayState state, int engine_length_ms) {
    if (state == PlayState::stopped || engine_length_ms < 0) {
        return -1;
    }
    return (engine_length_ms + 500) / 1000;
}

void PlayerModel::set_volume(int volume) {
    volume_ = std::clamp(volume, 0, kVolumeMax);
    engine_.set_volume((volume_ * 100 + kVolumeMax / 2) / kVolumeMax);
    ++settings_revision_;
    publish();
}

void PlayerModel::set_shuffle(bool on) {
    if (on && !shuffle_) {
        order_.new_round(static_cast<std::size_t>(current_));
    }
    shuffle_ = on;
    ++settings_revision_;
    publish();
}

void PlayerModel::set_repeat(bool on) {
    repeat_ = on;
    ++settings_revision_;
    publish();
}

void PlayerModel::on_track_end(bool failed) {
    handle_track_end(failed);
    publish();
}

void PlayerModel::handle_track_end(bool failed) {
    if (state_ == PlayState::stopped) {
        return;
    }
    failures_in_a_row_ = failed ? failures_in_a_row_ + 1 : 0;
    // Every entry failed in turn: going round again would never end.
    if (failures_in_a_row_ >= size()) {
        failures_in_a_row_ = 0;
        state_ = PlayState::stopped;
        return;
    }
    int following = -1;
    if (shuffle_) {
        auto pick = order_.pick();
        if (!pick && repeat_) {
            order_.new_round(static_cast<std::size_t>(current_));
            pick = order_.pick();
            following = pick ? static_cast<int>(*pick) : current_;
        } else if (pick) {
            following = static_cast<int>(*pick);
        }
    } else if (current_ + 1 < size()) {
        following = current_ + 1;
    } else if (repeat_) {
        following = 0;
    }
    if (following < 0) {
        state_ = PlayState::stopped;
        failures_in_a_row_ = 0;
        return;
    }
    start(following);
}

void PlayerModel::start(int index) {
    current_ = index;
    order_.mark_played(static_cast<std::size_t>(index));
    engine_.load(*playlist_.file_name(static_cast<std::size_t>(index)));
    state_ = PlayState::playing;
    ++settings_revision_;
}

// Next and previous keep playing when something plays (a paused track gives way to a playing
// one) and only move the position when stopped.
void PlayerModel::move_to(int index) {
    if (state_ == PlayState::stopped) {
        current_ = index;
        ++settings_revision_;
    } else {
        failures_in_a_row_ = 0;
        start(index);
    }
}

int PlayerModel::step_forward() {
    if (!shuffle_) {
        return (current_ + 1) % size();
    }
    auto pick = order_.pick();
    if (!pick) {
        order_.new_round(static_cast<std::size_t>(current_));
        pick = order_.pick();
    }
    return pick ? static_cast<int>(*pick) : current_;
}

void PlayerModel::publish() {
    snapshots_.publish(
        PlayerSnapshot{state_, current_, volume_, shuffle_, repeat_, playlist_.view()});
}

int PlayerModel::step_back() {
    if (shuffle_) {
        if (auto earlier = order_.back()) {
            return static_cast<int>(*earlier);
        }
    }
    return (current_ + size() - 1) % size();
}

}  // namespace dravo
