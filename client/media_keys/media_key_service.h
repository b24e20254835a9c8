#pragma once
// The media keys and the desktop's media-player interface, for the client's main window: start()
// installs the shell hook (keys grabbed system-wide, each press posted to this thread and run
// through the binding table) and registers the client on the session bus as the media player
// "org.mpris.MediaPlayer2.dravo"; stop() takes both down. Both drive the same RemoteSession.
//
// Where the window calls it:
//   start-up: start() right after the on-screen display is set up, before the tray icon is added;
//   shutdown: stop() after the timers are stopped, the settings saved and the tray icon deleted.
//
// Construct, start and stop on the user-interface thread, with the QCoreApplication (or
// QApplication) already made; destroy the service before the session. Failure: start() answers
// false only when neither the hook nor the bus registration worked (the start-up tells the user,
// see install_media_keys), and the program carries on without media keys.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace dravo {

class RemoteSession;

struct MediaKeyStatus {
    bool hook = false;  // the keys are grabbed
    int grabbed_keys = 0;
    int held_keys = 0;     // keys another program had grabbed first
    bool bus = false;      // registered as a media player on the session bus
    std::string bus_name;  // the name it holds (with ".instance<pid>" when another client has the
                           // plain one)
};

class MediaKeyService {
public:
    // show_at_cursor: the window's operation that brings it up beside the mouse pointer (the Ctrl
    // key bindings and the bus's Raise).
    MediaKeyService(RemoteSession& session, std::function<void()> show_at_cursor);
    ~MediaKeyService();  // stop()
    MediaKeyService(const MediaKeyService&) = delete;
    MediaKeyService& operator=(const MediaKeyService&) = delete;

    // True when the keys reach the client by at least one of the two ways. A second start()
    // without stop() changes nothing.
    bool start();
    // After it returns no key press and no bus call reaches the session any more.
    void stop();
    const MediaKeyStatus& status() const;

    // The media-key message (as the shell hook delivers it): 1 when a binding acted, else 0.
    int handle_media_key(std::uint32_t lparam);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace dravo
