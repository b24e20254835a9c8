#pragma once
// The client program's life around its window: the start-up and shutdown order, Exit, the sleep
// timer and the tray icon's clicks, for any window kind. The window shows and forwards; this
// class decides, through RemoteSession and the parts of client_shell.h.
//   start-up: on-screen display ("init_osd() failed!"), media keys ("SetMMShellHook() failed!"
//     and its display text), tray icon, controls, track list, status timer, update check (a new
//     version: end after kUpdateShowMs), key bindings, first poll, the server's filter;
//   shutdown, once: timers, sleep time, settings saved, tray icon, media keys.
// User-interface thread only; every operation goes through the session's queue, so a call made
// while a request runs waits for it. Nothing fails: what cannot start is told and skipped.
#include <string>

#include "client_shell.h"
#include "sleep_timer.h"

namespace dravo {

class ClientSettings;
class RemoteSession;
class RemoteView;

inline constexpr int kUpdateShowMs = 3000;  // how long the update notice shows before the end

struct ClientParts {
    OnScreenDisplay& osd;
    NotificationIcon& tray;
    KeyHook& keys;
    ClientLoop& loop;
};

// Installs the media keys; when no key can reach the client, tells it in a box and on the
// on-screen display. The one place that says so.
bool install_media_keys(KeyHook& keys, RemoteView& view);

class ClientLifecycle {
public:
    // settings are loaded already.
    ClientLifecycle(ClientSettings& settings, RemoteSession& session, RemoteView& view,
                    ClientParts parts, SleepTimer::Clock clock = steady_clock_ms);

    void start_up();
    void shut_down();
    // Exit: once no operation runs, the shutdown, then the loop ends.
    void end();
    bool has_ended() const { return ended_; }

    void timer_fired(ClientTimer timer);
    void tray_clicked(TrayClick click);
    // The window up at the mouse pointer (the tray's right click, a media key, the bus's Raise).
    void bring_up();
    // The sleep dialog was closed, with OK or not: either way the running time is cancelled;
    // OK starts the one now in the settings.
    void sleep_dialog_closed(bool accepted);
    const SleepTimer& sleep_timer() const { return sleep_; }
    // The Sleep button's text, shown again whenever it may have changed.
    void show_sleep_time();

private:
    void arm_sleep_timer();

    ClientSettings& settings_;
    RemoteSession& session_;
    RemoteView& view_;
    ClientParts parts_;
    SleepTimer sleep_;
    bool shut_down_ = false;
    bool ended_ = false;
};

}  // namespace dravo
