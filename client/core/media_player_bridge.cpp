#include "media_player_bridge.h"

#include <cmath>
#include <cstdio>

#include "remote_protocol.h"
#include "remote_session.h"

namespace dravo {
namespace {

constexpr double kPercent = remote::kVolumeMax;

// A stable name per title (FNV-1a), so a title that comes back gets its old id again.
std::string track_id_of(const std::string& title) {
    if (title.empty()) {
        return kNoTrackId;
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : title) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "/org/dravo/track/t%016llx",
                  static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

MediaPlayerBridge::MediaPlayerBridge(RemoteSession& session, std::function<void()> raise)
    : session_(session), raise_(std::move(raise)) {}

void MediaPlayerBridge::next() { session_.next_track(); }
void MediaPlayerBridge::previous() { session_.previous_track(); }
void MediaPlayerBridge::play() { session_.start_playback(); }
void MediaPlayerBridge::pause() { session_.pause_playback(); }
void MediaPlayerBridge::play_pause() { session_.toggle_play_pause(); }
void MediaPlayerBridge::stop() { session_.stop_playback(); }

void MediaPlayerBridge::raise() {
    if (raise_) {
        raise_();
    }
}

void MediaPlayerBridge::seek(std::int64_t offset_microseconds) {
    if (offset_microseconds > 0) {
        session_.seek_forward();
    } else if (offset_microseconds < 0) {
        session_.seek_back();
    }
}

void MediaPlayerBridge::set_volume(double level) {
    if (std::isnan(level)) {
        return;
    }
    const double clamped = std::fmin(std::fmax(level, 0.0), 1.0);
    session_.set_volume(static_cast<int>(std::lround(clamped * kPercent)));
}

void MediaPlayerBridge::set_shuffle(bool on) {
    if (on != session_.state().shuffle_on) {
        session_.toggle_shuffle();
    }
}

MediaPlayerState MediaPlayerBridge::state() const {
    const auto& s = session_.state();
    MediaPlayerState state;
    state.playback_status = !s.is_playing ? "Stopped" : s.is_paused ? "Paused" : "Playing";
    state.title = s.last_title;
    state.track_id = track_id_of(s.last_title);
    state.volume = s.volume / kPercent;
    state.shuffle = s.shuffle_on;
    return state;
}

std::vector<MediaPlayerProperty> MediaPlayerBridge::changed() {
    const auto now = state();
    const auto before = announced_;
    announced_ = now;
    std::vector<MediaPlayerProperty> found;
    if (!before || before->playback_status != now.playback_status) {
        found.push_back(MediaPlayerProperty::playback_status);
    }
    if (!before || before->title != now.title) {
        found.push_back(MediaPlayerProperty::metadata);
    }
    if (!before || before->volume != now.volume) {
        found.push_back(MediaPlayerProperty::volume);
    }
    if (!before || before->shuffle != now.shuffle) {
        found.push_back(MediaPlayerProperty::shuffle);
    }
    return found;
}

}  // namespace dravo
