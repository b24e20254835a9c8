#pragma once
// What the player model needs from a sound back end. One implementation plays through libmpv,
// another is a deterministic fake with a virtual clock for tests.
// Every call, and every listener callback, happens on the host's main thread, except
// position_ms and length_ms: the host answers plug-ins' questions on their own threads, so those
// two may be called from any thread at any time.
#include <string>

namespace dravo {

class AudioEngineListener {
public:
    virtual ~AudioEngineListener() = default;
    // The loaded track ended by itself: played to its end, or failed to open or decode (failed).
    // Not called for a track that was stopped or replaced by another load.
    virtual void on_track_end(bool failed) = 0;
};

class AudioEngine {
public:
    virtual ~AudioEngine() = default;

    virtual void set_listener(AudioEngineListener* listener) = 0;
    // Replaces whatever is loaded and starts playing path from its beginning.
    virtual void load(const std::string& path) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // Unloads the track; no end event follows.
    virtual void stop() = 0;
    // Absolute position; a target at or past the end ends the track.
    virtual void seek(int position_ms) = 0;
    // -1 when nothing is loaded or the value is not known yet (the length of a track that is
    // still opening is not known: never the previous track's). Any thread.
    virtual int position_ms() const = 0;
    virtual int length_ms() const = 0;
    // 0-100.
    virtual void set_volume(int percent) = 0;
    // Handles what the back end reported since the last call; the listener is called from here.
    virtual void process_events() {}
};

}  // namespace dravo
