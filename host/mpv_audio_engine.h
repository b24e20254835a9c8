#pragma once
// Plays through libmpv, audio only. mpv runs its own threads; its wakeup callback only calls
// wake, and the host's main loop then calls process_events, which reads mpv's events and calls
// the listener. position_ms and length_ms: any thread (mpv's client calls are thread-safe, and
// the few fields they read sit under a lock). Every other call: main thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "audio_engine.h"

struct mpv_handle;

namespace dravo {

class MpvAudioEngine : public AudioEngine {
public:
    // audio_output: empty for the system's default, "null" for decoding without a device.
    // wake: called from mpv's thread when events wait. Null with the reason in error.
    static std::unique_ptr<MpvAudioEngine> create(const std::string& audio_output,
                                                  std::function<void()> wake, std::string& error);
    ~MpvAudioEngine() override;
    MpvAudioEngine(const MpvAudioEngine&) = delete;
    MpvAudioEngine& operator=(const MpvAudioEngine&) = delete;

    void set_listener(AudioEngineListener* listener) override { listener_ = listener; }
    void load(const std::string& path) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void seek(int position_ms) override;
    int position_ms() const override;
    int length_ms() const override;
    void set_volume(int percent) override;
    void process_events() override;

private:
    MpvAudioEngine(mpv_handle* handle, std::function<void()> wake);
    static void on_wakeup(void* context);
    int time_property(const char* name) const;
    int length_locked() const;
    void set_pause(bool paused);
    void handle_file_loaded();
    // Any seek asked for until now is void: its events no longer end the wait for it.
    void forget_seeks();
    // Follows the last seek through mpv's events (reply, seek, playback restart).
    void follow_seek(int event_id, std::uint64_t reply_to, int error);

    mpv_handle* handle_;
    std::function<void()> wake_;
    AudioEngineListener* listener_ = nullptr;
    // Guards what position_ms and length_ms read: current_entry_, seek_target_ms_,
    // seek_deferred_, file_loaded_ and known_length_ms_. Written on the main thread only (but
    // known_length_ms_, by the readers); never held while calling the listener.
    mutable std::mutex time_mutex_;
    // mpv's id of the entry we loaded last; end events of any other entry are stale.
    long long current_entry_ = -1;
    // Until mpv reports the last seek asked for done, the position is where it was asked to go.
    std::optional<int> seek_target_ms_;
    bool seek_deferred_ = false;        // asked for before the file was loaded
    bool file_loaded_ = false;          // the current entry is open and seekable
    mutable int known_length_ms_ = -1;  // the current entry's duration, once mpv gave it
    long long started_entry_ = -1;      // the entry of mpv's latest start-file event
    bool failure_pending_ = false;
    // How far mpv has come with the last seek asked for. mpv merges seeks that come quickly and
    // reports the end of every seek it carried out (playback restart), so the end of an earlier
    // seek arrives while the last one still waits. The last seek's command reply marks the
    // point in mpv's event stream after which a seek that starts is that one (or covers it):
    // asked -> queued (its reply) -> started (a seek event) -> done (the playback restart).
    enum class SeekStage { none, asked, queued, started };
    SeekStage seek_stage_ = SeekStage::none;
    std::uint64_t last_seek_ = 0;  // the reply number of the last seek asked for
};

}  // namespace dravo
