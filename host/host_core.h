#pragma once
// The host without its windows and libraries: the player model, the message dispatcher, the
// main-thread queue and the host window record plug-ins receive, plus remembering the state.
// Main thread only, except record() (handed to plug-ins, whose functions any thread may call).
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "audio_engine.h"
#include "host_window.h"
#include "main_thread_queue.h"
#include "message_dispatcher.h"
#include "player_model.h"

namespace dravo {

class PluginSet;

class HostCore {
public:
    // state_folder empty: nothing is remembered. wake: see MainThreadQueue.
    HostCore(AudioEngine& engine, TitleReader titles, std::function<void()> wake,
             HostWindow::MessageBoxSink message_box, std::string state_folder,
             std::uint32_t shuffle_seed);

    PlayerModel& model() { return model_; }
    MainThreadQueue& queue() { return queue_; }
    HostWindowRecord* record() { return window_.record(); }

    // Puts the remembered playlist and settings into the model.
    void restore();
    // Runs what is pending: queued messages, engine events, a save that is due.
    // False once the host should end.
    bool pump();
    void request_close() { close_requested_ = true; }
    bool close_requested() const { return close_requested_; }
    // Ends in order: new messages refused (waiting senders get 0), plug-ins' quit, playback
    // stopped, state saved, plug-ins unloaded. False when the state could not be saved.
    bool shutdown(PluginSet& plugins);
    // Writes what changed since the last save; false when a file could not be written.
    bool save();

private:
    AudioEngine& engine_;
    PlayerModel model_;
    MessageDispatcher dispatcher_;
    MainThreadQueue queue_;
    SnapshotReader reader_;
    HostWindow window_;
    std::string state_folder_;
    bool close_requested_ = false;
    std::uint64_t saved_playlist_revision_ = 0;
    std::uint64_t saved_settings_revision_ = 0;
    std::chrono::steady_clock::time_point last_save_;
};

}  // namespace dravo
