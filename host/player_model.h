#pragma once
// The player: playlist, current entry, transport state, volume, shuffle and repeat, driving an
// AudioEngine. The rules it keeps are written down in host/README.md ("Playlist semantics").
// Main thread only (messages from plug-ins reach it through the main-thread queue), except
// snapshots(): every change is published there before the changing call returns, for readers on
// any thread.
#include <cstdint>
#include <string>
#include <vector>

#include "audio_engine.h"
#include "player_snapshot.h"
#include "playlist.h"
#include "shuffle_order.h"

namespace dravo {

inline constexpr int kVolumeMax = 255;
inline constexpr int kSeekStepMs = 5000;

class PlayerModel : private AudioEngineListener {
public:
    PlayerModel(AudioEngine& engine, TitleReader titles, std::uint32_t shuffle_seed);
    ~PlayerModel() override;
    PlayerModel(const PlayerModel&) = delete;
    PlayerModel& operator=(const PlayerModel&) = delete;

    // Playlist.
    void add(std::vector<std::string> paths);
    void clear();
    int size() const { return static_cast<int>(playlist_.size()); }
    const std::string* file_name(int index) const;  // null when out of range
    const std::string* title(int index);            // null when out of range
    int current() const { return current_; }
    void set_current(int index);  // out of range: ignored

    // Transport.
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void forward_5s();
    void back_5s();
    // Jumps to position_ms of the current track: 0 done, 1 past its end (nothing moves), -1
    // stopped.
    int seek_to(int position_ms);
    PlayState state() const { return state_; }
    int position_ms() const;  // -1 when stopped
    int length_s() const;     // -1 when stopped or not known yet

    int volume() const { return volume_; }
    void set_volume(int volume);  // clamped to 0-255
    bool shuffle() const { return shuffle_; }
    void set_shuffle(bool on);
    bool repeat() const { return repeat_; }
    void set_repeat(bool on);

    const SnapshotBoard& snapshots() const { return snapshots_; }

    // Counters that move whenever something worth saving changes.
    std::uint64_t playlist_revision() const { return playlist_revision_; }
    std::uint64_t settings_revision() const { return settings_revision_; }

private:
    void on_track_end(bool failed) override;
    void handle_track_end(bool failed);
    void start(int index);
    void move_to(int index);
    int step_forward();
    int step_back();
    void publish();

    AudioEngine& engine_;
    Playlist playlist_;
    ShuffleOrder order_;
    int current_ = 0;
    PlayState state_ = PlayState::stopped;
    int volume_ = kVolumeMax;
    bool shuffle_ = false;
    bool repeat_ = false;
    int failures_in_a_row_ = 0;
    std::uint64_t playlist_revision_ = 0;
    std::uint64_t settings_revision_ = 0;
    SnapshotBoard snapshots_;
};

// The answers to position and length from the state and the engine's readings, shared by the
// model and the readers of its snapshots.
int position_answer(PlayState state, int engine_position_ms);
int length_answer(PlayState state, int engine_length_ms);

}  // namespace dravo
