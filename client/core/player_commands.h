#pragma once
// The player operations behind the buttons, the slider, the shuffle box and the media keys: the
// requests each sends, in order, what it changes in the local playback state and what it
// announces. Every request goes out even when the server is down; only About and Update say so in
// words, everything else changes its state and announces as if the server had answered.
// User-interface thread only, one operation at a time (OperationQueue sees to it).
#include <string>

#include "client_context.h"
#include "update_checker.h"

namespace dravo {

inline constexpr const char* kCannotConnect = "Couldn't connect to dravo_srv.";

class PlayerCommands {
public:
    PlayerCommands(ClientContext context, const UpdateChecker& checker, std::string update_url);

    void next_track();
    void previous_track();
    void seek_forward(int step = 0);  // the step a key binding passes is ignored
    void seek_back(int step = 0);
    // steps seek steps forward (or back when negative), the display shown once, after the last.
    void seek_steps(int steps);
    // To ms into the track through the state API; nothing unless the current server offers it.
    void seek_to_ms(int ms);
    void start_playback();
    void pause_playback();
    void toggle_play_pause();
    void stop_playback();
    // Shows v (clamped to 0..100) when it differs from the shown volume; sends nothing itself.
    void show_volume(int v);
    void set_volume(int v);
    void toggle_mute();
    void toggle_shuffle();
    void set_repeat(bool on);
    // Title into window text, label and tip; a new title is announced.
    void refresh_title();
    void show_about();
    // Asks the server to update itself, then runs the client's own update check. True when a
    // new client version was started (the view has been told to quit).
    bool request_update();
    // The update at start-up: the server's answer is ignored, the check is silent. True when a
    // new version was started; the caller waits a moment and quits.
    bool update_at_startup();
    // Fetches "status" and applies its lines (status_poll.cpp); a failed fetch changes nothing.
    void poll_status();

private:
    void apply_status(const std::string& answer);
    void seek(const std::string& command);
    bool run_update_check(std::string& message);
    std::string title_or_empty();

    ClientContext ctx_;
    const UpdateChecker& checker_;
    std::string update_url_;
};

}  // namespace dravo
