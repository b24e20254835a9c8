#include "media_player_bridge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "remote_protocol.h"
#include "remote_session.h"

namespace dravo {
namespace {

constexpr double kPercent = remote::kVolumeMax;
constexpr std::int64_t kUsPerMs = 1000;
constexpr std::int64_t kJumpMicroseconds = remote::kPositionJumpMs * kUsPerMs;

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

// Moved otherwise than by playing on, within the same track.
bool jumped(const MediaPlayerState& before, const MediaPlayerState& now) {
    if (before.position_us < 0 || now.position_us < 0 || before.title != now.title ||
        before.url != now.url || before.position_read_ms == now.position_read_ms) {
        return false;
    }
    const std::int64_t ran =
        before.position_runs ? (now.position_read_ms - before.position_read_ms) * kUsPerMs : 0;
    return std::llabs(now.position_us - (before.position_us + ran)) > kJumpMicroseconds;
}

}  // namespace

MediaPlayerBridge::MediaPlayerBridge(RemoteSession& session, std::function<void()> raise,
                                     Clock clock)
    : session_(session), raise_(std::move(raise)), clock_(std::move(clock)) {}

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
    if (offset_microseconds == 0) {
        return;
    }
    const auto now = state();
    if (now.position_us >= 0) {
        const std::int64_t target = position_us() + offset_microseconds;
        if (now.length_us > 0 && target > now.length_us) {
            session_.next_track();  // past the end, as the interface asks
        } else {
            session_.seek_to_ms(static_cast<int>(std::max<std::int64_t>(target, 0) / kUsPerMs));
        }
        return;
    }
    const double steps = std::round(std::fabs(static_cast<double>(offset_microseconds)) /
                                    static_cast<double>(kSeekStepMicroseconds));
    const int count = static_cast<int>(std::clamp<double>(steps, 1, remote::kSeekStepsMax));
    session_.seek_steps(offset_microseconds > 0 ? count : -count);
}

void MediaPlayerBridge::set_position(const std::string& track_id, std::int64_t position) {
    const auto now = state();
    if (now.position_us < 0 || track_id != now.track_id || position < 0 ||
        (now.length_us > 0 && position > now.length_us)) {
        return;
    }
    session_.seek_to_ms(static_cast<int>(position / kUsPerMs));
}

void MediaPlayerBridge::set_loop_status(const std::string& status) {
    if (status == "None") {
        session_.set_repeat(false);
    } else if (status == "Playlist" || status == "Track") {
        session_.set_repeat(true);
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
    state.loop_status = s.repeat_on ? "Playlist" : "None";
    if (s.api_server.empty()) {
        return state;  // the rest needs the state API
    }
    const ServerState& pushed = s.pushed;
    state.length_us = pushed.length_s > 0 ? pushed.length_s * std::int64_t{1'000'000} : -1;
    state.url = file_url(pushed.file);
    if (pushed.position_ms >= 0) {
        state.position_us = pushed.position_ms * kUsPerMs;
        state.position_read_ms = pushed.read_ms;
        state.position_runs = pushed.play_state == "playing";
    }
    return state;
}

std::int64_t MediaPlayerBridge::position_us() const {
    const auto now = state();
    if (now.position_us < 0) {
        return 0;
    }
    std::int64_t at = now.position_us;
    if (now.position_runs) {
        at += std::max<std::int64_t>(clock_() - now.position_read_ms, 0) * kUsPerMs;
    }
    return now.length_us > 0 ? std::min(at, now.length_us) : at;
}

std::vector<MediaPlayerProperty> MediaPlayerBridge::changed() {
    const auto now = state();
    const auto before = announced_;
    announced_ = now;
    std::vector<MediaPlayerProperty> found;
    if (!before || before->playback_status != now.playback_status) {
        found.push_back(MediaPlayerProperty::playback_status);
    }
    if (!before || before->title != now.title || before->length_us != now.length_us ||
        before->url != now.url) {
        found.push_back(MediaPlayerProperty::metadata);
    }
    if (!before || before->volume != now.volume) {
        found.push_back(MediaPlayerProperty::volume);
    }
    if (!before || before->shuffle != now.shuffle) {
        found.push_back(MediaPlayerProperty::shuffle);
    }
    if (!before || before->loop_status != now.loop_status) {
        found.push_back(MediaPlayerProperty::loop_status);
    }
    if (before && jumped(*before, now)) {
        found.push_back(MediaPlayerProperty::seeked);
    }
    return found;
}

}  // namespace dravo
