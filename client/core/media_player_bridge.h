#pragma once
// The desktop's media-player interface (MPRIS) as the client answers it, without a toolkit: each
// call runs the same operation as the matching media key, so the server sees the same requests;
// the properties are read from the session's playback state, and changed() says which of them
// moved since it was last asked, for the change signals.
// User-interface thread only. Nothing fails: out-of-range values are clamped, NaN is ignored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dravo {

class MediaKeyHandler;
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
    MediaPlayerBridge(RemoteSession& session, MediaKeyHandler& keys);

    void next();
    void previous();
    void play();
    void pause();
    void play_pause();
    void stop();
    // Forward or back one seek step by the offset's sign (the server seeks by a fixed step).
    void seek(std::int64_t offset_microseconds);
    void raise();                   // the key that brings the main window up
    void set_volume(double level);  // 0 to 1
    void set_shuffle(bool on);

    MediaPlayerState state() const;
    // The properties that differ from the previous call; all of them on the first call.
    std::vector<MediaPlayerProperty> changed();

private:
    void key(int command, bool shift = false, bool ctrl = false);

    RemoteSession& session_;
    MediaKeyHandler& keys_;
    std::optional<MediaPlayerState> announced_;
};

}  // namespace dravo
