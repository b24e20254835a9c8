#include "plugin.h"

#include "announcer.h"
#include "client_policy.h"
#include "command_server.h"
#include "media_cache.h"
#include "page_service.h"
#include "player_control.h"
#include "plugin_files.h"
#include "profile_file.h"
#include "server_log.h"
#include "text.h"
#include "track_filter.h"
#include "update_command.h"

namespace dravo {

// The network settings are read, never bound: saving the settings must not add them to a
// file that lacks them.
ClientPolicy Plugin::read_client_policy(const std::string& ini) const {
    std::vector<std::string> problems;
    auto policy = ClientPolicy::from_settings(
        profile_read_string("Settings", "bind_address", "", ini),
        profile_read_string("Settings", "allowed_clients", "", ini), problems);
    for (const auto& entry : problems) {
        log_->log_error("allowed_clients: cannot read '" + entry + "'; it lets nobody in");
    }
    return policy;
}

Plugin::Plugin()
    : start_thread_([](std::function<void()> body) { return std::thread(std::move(body)); }) {}

Plugin::~Plugin() { quit(); }

int Plugin::init(std::unique_ptr<PluginHost> host) {
    quit();  // a second init starts afresh instead of leaking a running thread
    host_ = std::move(host);
    const PluginFiles files = prepare_plugin_files(host_->module_directory());
    const std::string& ini = files.settings;
    settings_.load(ini);  // an unreadable file leaves the defaults
    const int port = settings_.port();
    player_ = std::make_unique<PlayerControl>(*host_);
    log_ = std::make_unique<ServerLog>(files.log);
    cache_ = std::make_unique<MediaCache>(files.cache_folder);
    filter_ = std::make_unique<TrackFilter>(*cache_, *player_);
    updates_ = std::make_unique<UpdateRunner>(
        *host_, *player_, profile_read_string("Settings", "update_url", "", ini));
    table_ = std::make_unique<CommandTable>(
        CommandEnv{*host_, *player_, settings_, filter_.get(), mute_, updates_.get()});
    PageLimits page_limits;
    if (const auto waiting = profile_read_string("Settings", "max_waiting", "", ini);
        !waiting.empty()) {
        page_limits.max_waiting = to_number(waiting);
    }
    page_ = std::make_unique<PageService>(*table_, *player_, settings_, mute_, page_limits);
    server_ = std::make_unique<CommandServer>(
        port, *table_,
        [host = host_.get()](const std::string& text, const std::string& caption) {
            host->message_box(text, caption);
        },
        *log_, ServerLimits{}, read_client_policy(ini),
        BrowserGuard::from_settings(net::machine_host_name(),
                                    profile_read_string("Settings", "allowed_hosts", "", ini)),
        page_.get());
    announce_ = should_announce(profile_read_string("Settings", "announce", "", ini),
                                profile_read_string("Settings", "bind_address", "", ini));
    listener_done_.store(false);
    try {
        thread_ = start_thread_([this, server = server_.get()] {
            server->run([this](int listening) { start_announcing(listening); });
            listener_done_.store(true);
        });
    } catch (const std::exception&) {
        listener_done_.store(true);
        host_->message_box("CreateThread() failed", "dravo_srv Error");
    }
    return 0;
}

void Plugin::config() {
    if (!host_) {
        return;  // before init there are no settings to edit
    }
    if (!config_ui_) {
        host_->message_box("The configuration dialog is not part of this build.", "dravo_srv");
    } else if (const std::string failure = config_ui_(*this); !failure.empty()) {
        host_->message_box(failure, "dravo_srv");
    }
}

void Plugin::quit() {
    if (server_) {
        server_->stop();
    }
    // The update worker never waits for the host or the listener: it ends on its own.
    if (updates_) {
        updates_->stop();
    }
    // The listener may be caught in a send that only this thread can carry out.
    if (host_) {
        host_->keep_answering_until([this] { return listener_done_.load(); });
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    announcer_.reset();  // withdraws the announcement
    server_.reset();
}

void Plugin::start_announcing(int port) {
    if (!announce_) {
        return;
    }
    announcer_ =
        make_announcer([log = log_.get()](const std::string& line) { log->log_error(line); });
    const bool serves_page = page_ != nullptr;
    if (announcer_ &&
        !announcer_->start({"dravo on " + net::machine_host_name(), port, serves_page})) {
        announcer_.reset();
    }
}

}  // namespace dravo
