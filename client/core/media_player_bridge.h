#pragma once
// The desktop's media-player interface (MPRIS) as the client answers it, without a toolkit: each
// call runs the session operation of the matching media key, so the server sees the same
// requests, and Raise brings the window up through the callback it was handed;
// the properties are read from the session's playback state, and changed() says which of them
// moved since it was last asked, for the change signals.
// User-interface thread only. Nothing fails: out-of-range values are clamped, NaN is ignored.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dravo {

class RemoteSession;

inline constexpr const char* kNoTrackId = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

struct MediaPlayerState {
    std::string playback_status;  // "Playing", "Paused" or "Stopped"
    std::string title;            // the title last seen
    std::string track_id;         // an object path, the same for the same title
    double volume = 0;            // 0 to 1
    bool shuffle = false;
    bool operator==(const MediaPlayerState&) const = default;
};

enum class MediaPlayerProperty { playback_status, metadata, volume, shuffle };

class MediaPlayerBridge {
public:
    // raise brings the main window up beside the mouse; it may be empty.
    MediaPlayerBridge(RemoteSession& session, std::function<void()> raise);

    void next();
    void previous();
    void play();
    void pause();
    void play_pause();
    void stop();
    // Forward or back one seek step by the offset's sign (the server seeks by a fixed step).
    void seek(std::int64_t offset_microseconds);
    void raise();                   // brings the main window up
    void set_volume(double level);  // 0 to 1
    void set_shuffle(bool on);

    MediaPlayerState state() const;
    // The properties that differ from the previous call; all of them on the first call.
    std::vector<MediaPlayerProperty> changed();

private:
    RemoteSession& session_;
    std::function<void()> raise_;
    std::optional<MediaPlayerState> announced_;
};

}  // namespace dravo
