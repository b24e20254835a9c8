#pragma once
// A deterministic engine for tests and benchmarks: tracks are names with a length, time moves
// only when advance() is called. Ends and failures are delivered from advance(), never from
// inside load() or seek(), just as a real engine reports them later from its own events.
// Main thread only, like every engine, except position_ms and length_ms (any thread).
#include <map>
#include <mutex>
#include <string>

#include "audio_engine.h"

namespace dravo {

class FakeAudioEngine : public AudioEngine {
public:
    // A path the fake can play; loading any other path fails.
    void add_track(const std::string& path, int length_ms);
    // Moves the virtual clock while playing (not while paused) and delivers pending events.
    // At most one track ends per call; time past its end is dropped.
    void advance(int ms);

    void set_listener(AudioEngineListener* listener) override { listener_ = listener; }
    void load(const std::string& path) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void seek(int position_ms) override;
    int position_ms() const override;
    int length_ms() const override;
    void set_volume(int percent) override { volume_ = percent; }

    // What a test inspects.
    const std::string& loaded() const { return loaded_; }
    bool paused() const { return paused_; }
    int volume() const { return volume_; }
    int load_count() const { return load_count_; }

private:
    void end_track(bool failed);
    int length_locked() const;

    // Guards the playing state below; what tests inspect is main thread only anyway.
    mutable std::mutex mutex_;
    AudioEngineListener* listener_ = nullptr;
    std::map<std::string, int> lengths_;
    std::string loaded_;
    bool loaded_ok_ = false;
    bool paused_ = false;
    bool failure_pending_ = false;
    int position_ = 0;
    int volume_ = 100;
    int load_count_ = 0;
};

}  // namespace dravo
