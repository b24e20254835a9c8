#include "remote_session.h"

#include "client_info.h"
#include "client_settings.h"
#include "remote_view.h"
#include "sleep_timer.h"

namespace dravo {

RemoteSession::RemoteSession(ClientSettings& settings, RemoteView& view, RequestRunner& runner,
                             SessionOptions options)
    : settings_(settings), view_(view), server_(settings, runner, options.limits),
      checker_(options.launcher, options.limits),
      player_({settings, view, server_, state_, list_}, checker_,
              options.update_url.empty() ? client_update_url() : options.update_url),
      tracks_({settings, view, server_, state_, list_}, player_), completer_(settings.mru_filter) {
    operations_.set_idle_hook([this] {
        for (int id = 0; id < next_listener_; ++id) {
            if (const auto found = after_operations_.find(id); found != after_operations_.end()) {
                const auto listener = found->second;  // it may remove itself
                listener();
            }
        }
    });
}

Subscription RemoteSession::add_after_operations(std::function<void()> listener) {
    const int id = next_listener_++;
    after_operations_.emplace(id, std::move(listener));
    return Subscription([this, id] { after_operations_.erase(id); });
}

void RemoteSession::queue(void (PlayerCommands::*operation)()) {
    operations_.run([this, operation] { (player_.*operation)(); });
}

bool RemoteSession::update_at_startup() {
    bool started = false;
    operations_.run([this, &started] { started = player_.update_at_startup(); });
    return started;
}

void RemoteSession::show_title() {
    operations_.run([this] { view_.show_osd(server_.fetch_title().value_or("")); });
}

void RemoteSession::sleep_expired() {
    operations_.run([this] {
        player_.stop_playback();
        view_.show_osd(kSleepVerse);
    });
}

void RemoteSession::next_server() {
    operations_.run([this] {
        const int count = static_cast<int>(settings_.servers.size());
        const int current = settings_.current_server;
        change_server(count > 0 ? current % count + 1 : current);
    });
}

void RemoteSession::switch_to_server(int number) {
    operations_.run([this, number] {
        if (number >= 1 && static_cast<std::size_t>(number) <= settings_.servers.size()) {
            change_server(number);
        }
    });
}

void RemoteSession::change_server(int number) {
    const std::string before = server_url();
    if (number != settings_.current_server) {
        settings_.current_server = number;
        settings_.save_current_server();  // survives a crash; the exit writes it again
    }
    if (server_url() != before) {
        // The new server has yet to show that it offers the API; the old one's state is not its.
        state_.api_server.clear();
        state_.pushed = {};
    }
    tracks_.load_track_list();
    player_.poll_status();
    tracks_.load_filter();
}

void RemoteSession::take_pushed_state(const std::string& base_url, const ServerState& state) {
    if (state_.api_server != base_url) {
        return;
    }
    const bool changed = state.revision != state_.pushed.revision;
    state_.pushed = state;
    if (changed) {
        status_tick();
    }
}

void RemoteSession::set_api_offered(const std::string& base_url, bool offered) {
    if (offered && base_url == server_url()) {
        state_.api_server = base_url;
    } else if (!offered && state_.api_server == base_url) {
        state_.api_server.clear();
        state_.pushed = {};
    }
}

void RemoteSession::status_tick() {
    operations_.tick([this] {
        player_.poll_status();
        player_.refresh_title();
        if (after_tick_) {
            after_tick_();
        }
    });
}

}  // namespace dravo
