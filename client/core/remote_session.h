#pragma once
// Everything the client's window calls: owns the local playback state, the track list, the
// server connection and the operations, and runs each operation through one OperationQueue so
// that operations never overlap and a status tick that falls due meanwhile runs once afterwards.
// Construct and call on the user-interface thread only. Operations report nothing; what the user
// should see goes to the RemoteView.
#include <functional>
#include <map>
#include <string>

#include "filter_completion.h"
#include "operation_queue.h"
#include "playback_state.h"
#include "player_commands.h"
#include "server_client.h"
#include "subscription.h"
#include "track_commands.h"
#include "track_list.h"
#include "update_checker.h"

namespace dravo {

class ClientSettings;
class RemoteView;
class RequestRunner;

struct SessionOptions {
    FetchLimits limits = kClientLimits;
    ProgramLauncher launcher = start_detached;  // starts a downloaded update program
    std::string update_url;                     // empty: client_update_url()
};

class RemoteSession {
public:
    RemoteSession(ClientSettings& settings, RemoteView& view, RequestRunner& runner,
                  SessionOptions options = {});

    // Player operations, for the buttons, the slider and the media keys.
    void next_track() { queue(&PlayerCommands::next_track); }
    void previous_track() { queue(&PlayerCommands::previous_track); }
    void seek_forward() {
        queue([this] { player_.seek_forward(); });
    }
    void seek_back() {
        queue([this] { player_.seek_back(); });
    }
    void start_playback() { queue(&PlayerCommands::start_playback); }
    void pause_playback() { queue(&PlayerCommands::pause_playback); }
    void toggle_play_pause() { queue(&PlayerCommands::toggle_play_pause); }
    void stop_playback() { queue(&PlayerCommands::stop_playback); }
    void set_volume(int v) {
        queue([this, v] { player_.set_volume(v); });
    }
    // set_volume with the volume as it is when the operation runs, so quick steps add up.
    void step_volume(int delta) {
        queue([this, delta] { player_.set_volume(state_.volume + delta); });
    }
    void toggle_mute() { queue(&PlayerCommands::toggle_mute); }
    void toggle_shuffle() { queue(&PlayerCommands::toggle_shuffle); }
    void set_repeat(bool on) {
        queue([this, on] { player_.set_repeat(on); });
    }
    // A seek of several steps (negative: back), or to a place where the server offers it.
    void seek_steps(int steps) {
        queue([this, steps] { player_.seek_steps(steps); });
    }
    void seek_to_ms(int ms) {
        queue([this, ms] { player_.seek_to_ms(ms); });
    }
    void refresh_title() { queue(&PlayerCommands::refresh_title); }
    void poll_status() { queue(&PlayerCommands::poll_status); }
    void show_about() { queue(&PlayerCommands::show_about); }
    void request_update() {
        queue([this] { player_.request_update(); });
    }
    // True when a new version was started: the caller shows it a moment, then quits.
    bool update_at_startup();
    // The tray icon's left click: the current title (empty when the server is down) on the OSD.
    void show_title();
    // The sleep timer ran out: stop, then the verse on the OSD in place of "Stop".
    void sleep_expired();

    // Track list and filter.
    void load_track_list() {
        queue([this] { tracks_.load_track_list(); });
    }
    void show_matching_tracks() {
        queue([this] { tracks_.show_matching_tracks(); });
    }
    void play_selected() {
        queue([this] { tracks_.play_selected(); });
    }
    void apply_filter() {
        queue([this] { tracks_.apply_filter(); });
    }
    void load_filter() {
        queue([this] { tracks_.load_filter(); });
    }
    // The next server of the list (wrapping), written to the settings file at once, then list,
    // status and filter from it.
    void next_server();
    // The same for server number (1-based); nothing when it names no entry of the list.
    void switch_to_server(int number);

    // The status timer: poll, title, then after_tick (the sleep button's countdown). A tick that
    // falls due while an operation runs waits for it; several such ticks run once.
    void status_tick();
    void set_after_tick(std::function<void()> hook) { after_tick_ = std::move(hook); }
    // Called whenever the operations that were waiting have all run: the moment the playback
    // state may have changed (the desktop's media-player interface announces it then). Listeners
    // run in the order they were added; one removed meanwhile is not called.
    [[nodiscard]] Subscription add_after_operations(std::function<void()> listener);

    // The pushed state of the server at base_url (SessionFeed): kept for the media-player
    // interface, and a new revision runs a status tick at once, so window, tray tip, display and
    // properties change as the timer would change them. A state of another server is dropped.
    // Called between operations or while one waits for a request: it only notes and queues.
    void take_pushed_state(const std::string& base_url, const ServerState& state);
    // Whether the server at base_url offers the state API; false forgets the pushed state.
    void set_api_offered(const std::string& base_url, bool offered);
    std::string server_url() const { return server_.command_url(""); }

    FilterCompleter& filter_completer() { return completer_; }
    const PlaybackState& state() const { return state_; }
    const TrackList& tracks() const { return list_; }
    bool busy() const { return operations_.busy(); }

private:
    void queue(void (PlayerCommands::*operation)());
    void queue(OperationQueue::Operation operation) { operations_.run(std::move(operation)); }
    void change_server(int number);

    ClientSettings& settings_;
    RemoteView& view_;
    PlaybackState state_;
    TrackList list_;
    ServerClient server_;
    UpdateChecker checker_;
    PlayerCommands player_;
    TrackCommands tracks_;
    FilterCompleter completer_;
    OperationQueue operations_;
    std::function<void()> after_tick_;
    std::map<int, std::function<void()>> after_operations_;
    int next_listener_ = 0;
};

}  // namespace dravo
