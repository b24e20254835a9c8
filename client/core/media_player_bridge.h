#pragma once
// The desktop's media-player interface (MPRIS) as the client answers it, without a toolkit: each
// call runs the session operation of the matching media key, so the server sees the same
// requests, and Raise brings the window up through the callback it was handed;
// the properties are read from the session's playback state, and changed() says which of them
// moved since it was last asked, for the change signals (a jump of the position is one of them).
// The position, its setting and the track's length come from the server's pushed state (the
// state API); against a server without it the position reads 0 and SetPosition does nothing.
// Seek goes to the place through the API where offered, else by the nearest number of the
// server's seek steps (at least one). Repeat is the server's playlist repeat: "Track" is taken as
// "Playlist", as the player repeats nothing else.
// User-interface thread only. Nothing fails: out-of-range values are clamped or ignored, NaN is
// ignored.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "remote_protocol.h"
#include "server_state.h"
#include "steady_clock.h"

namespace dravo {

class RemoteSession;

inline constexpr const char* kNoTrackId = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

inline constexpr std::int64_t kSeekStepMicroseconds = std::int64_t{remote::kSeekStepMs} * 1000;

struct MediaPlayerState {
    std::string playback_status;  // "Playing", "Paused" or "Stopped"
    std::string title;            // the title last seen
    std::string track_id;         // an object path, the same for the same title
    double volume = 0;            // 0 to 1
    bool shuffle = false;
    std::string loop_status;      // "None" or "Playlist"
    std::int64_t length_us = -1;  // -1: unknown
    std::string url;              // the playing entry's file URL; empty: unknown
    // The position as the server last pushed it: where, when (steady clock ms), whether running.
    std::int64_t position_us = -1;  // -1: unknown
    std::int64_t position_read_ms = 0;
    bool position_runs = false;
    bool operator==(const MediaPlayerState&) const = default;
};

// seeked: the position jumped (not by playing on) within the same track.
enum class MediaPlayerProperty { playback_status, metadata, volume, shuffle, loop_status, seeked };

class MediaPlayerBridge {
public:
    using Clock = std::function<std::int64_t()>;
    // raise brings the main window up beside the mouse; it may be empty.
    MediaPlayerBridge(RemoteSession& session, std::function<void()> raise,
                      Clock clock = steady_clock_ms);

    void next();
    void previous();
    void play();
    void pause();
    void play_pause();
    void stop();
    void seek(std::int64_t offset_microseconds);
    // Ignored unless track_id is the playing track's and the place lies within it.
    void set_position(const std::string& track_id, std::int64_t position_us);
    void set_loop_status(const std::string& status);
    void raise();                   // brings the main window up
    void set_volume(double level);  // 0 to 1
    void set_shuffle(bool on);

    MediaPlayerState state() const;
    // Where playback is now: the pushed position moved on at rate 1 while playing; 0 unknown.
    std::int64_t position_us() const;
    // The properties that differ from the previous call; all of them on the first call.
    std::vector<MediaPlayerProperty> changed();

private:
    RemoteSession& session_;
    std::function<void()> raise_;
    Clock clock_;
    std::optional<MediaPlayerState> announced_;
};

}  // namespace dravo
