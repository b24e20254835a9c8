#pragma once
// Everything one loaded plug-in owns, and its lifecycle. init, config and quit run on the host's
// main thread; the command server runs on the one listener thread that init starts and quit
// stops (so a host may unload the module safely after quit).
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "client_policy.h"
#include "command_table.h"
#include "plugin_host.h"
#include "server_settings.h"

namespace dravo {

class Announcer;
class CommandServer;
class MediaCache;
class PageService;
class PlayerControl;
class ServerLog;
class TrackFilter;
class UpdateRunner;

// Told when the host runs without a window (a headless player host) and cannot show the dialog.
inline constexpr const char* kConfigNeedsWindowText =
    "The configuration dialog needs the player's window: start the player host with --gui.";

class Plugin {
public:
    // Starts the listener thread; tests replace it to see a failed start.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    // Shows the configuration dialog modally. Empty when it was shown, else the notice that says
    // why it could not be (kConfigNeedsWindowText when the host has no window for it).
    using ConfigUi = std::function<std::string(Plugin&)>;

    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Loads the settings beside the module and starts the listener. Always 0.
    int init(std::unique_ptr<PluginHost> host);
    void config();
    // Stops the listener thread and closes its sockets, and ends a running update check (within
    // about kFetchCancelCheck, even in the middle of a download), before returning.
    void quit();

    ServerSettings& settings() { return settings_; }
    MediaCache* media_cache() { return cache_.get(); }
    CommandServer* server() { return server_.get(); }
    void set_thread_starter(ThreadStarter starter) { start_thread_ = std::move(starter); }
    void set_config_ui(ConfigUi ui) { config_ui_ = std::move(ui); }

private:
    ClientPolicy read_client_policy(const std::string& ini) const;
    // On the listener thread, once it listens: tells the network, unless the settings say not to.
    void start_announcing(int port);

    ServerSettings settings_;
    MuteMemory mute_;
    std::unique_ptr<PluginHost> host_;
    std::unique_ptr<PlayerControl> player_;
    std::unique_ptr<ServerLog> log_;
    std::unique_ptr<MediaCache> cache_;
    std::unique_ptr<TrackFilter> filter_;
    std::unique_ptr<UpdateRunner> updates_;
    std::unique_ptr<CommandTable> table_;
    std::unique_ptr<PageService> page_;
    std::unique_ptr<CommandServer> server_;
    std::unique_ptr<Announcer> announcer_;
    bool announce_ = false;
    std::thread thread_;
    std::atomic<bool> listener_done_{true};
    ThreadStarter start_thread_;
    ConfigUi config_ui_;
};

}  // namespace dravo
