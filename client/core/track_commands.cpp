#include "track_commands.h"

#include <algorithm>

#include "client_settings.h"
#include "player_commands.h"
#include "remote_protocol.h"
#include "remote_view.h"
#include "server_client.h"
#include "text.h"
#include "track_list.h"

namespace dravo {

TrackCommands::TrackCommands(ClientContext context, PlayerCommands& player)
    : ctx_(context), player_(player) {}

void TrackCommands::select_first_row() {
    ctx_.view.select_track_row(ctx_.tracks.shown_count() > 0 ? std::optional<std::size_t>(0)
                                                             : std::nullopt);
}

void TrackCommands::load_track_list() {
    ctx_.view.show_osd("Loading tracks from " + ctx_.settings.current_server_url());
    // The table is replaced only once the answer is in: the window may repaint from it while the
    // request runs. A failed request gives an empty list; a broken one the rows that arrived.
    auto answer = ctx_.server.fetch(remote::command_text(remote::kList));
    ctx_.tracks.load(std::move(answer.body), [this](std::size_t count) {
        ctx_.view.set_tray_tip("loading track " + std::to_string(count) + "...");
    });
    ctx_.view.show_track_rows(ctx_.tracks);
    select_first_row();
    player_.refresh_title();
}

void TrackCommands::show_matching_tracks() {
    ctx_.tracks.show_matching(ctx_.view.search_text());
    ctx_.view.show_track_rows(ctx_.tracks);
    select_first_row();
}

void TrackCommands::play_selected() {
    const auto row = ctx_.view.selected_track_row();
    if (!row || *row >= ctx_.tracks.shown_count()) {
        return;
    }
    // The row's own number in the full list, not its place among the shown rows.
    const int number = ctx_.tracks.shown_number(*row);
    ctx_.server.fetch(remote::command_text(remote::kPlay, remote::kTrackKey, to_text(number)));
    player_.poll_status();
    player_.refresh_title();
}

void TrackCommands::apply_filter() {
    const std::string text = ctx_.view.filter_text();
    if (!text.empty()) {
        const auto before = ctx_.settings.mru_filter;
        mru_add(ctx_.settings.mru_filter, text, ctx_.settings.mru_filter_size);
        if (ctx_.settings.mru_filter != before) {
            ctx_.settings.save_mru_filter();  // survives a crash; the exit writes it again
        }
    }
    ctx_.view.show_osd("Applying filter \"" + text + "\"");
    ctx_.view.set_search_text("");
    ctx_.server.fetch(
        remote::command_text(remote::kSetFilter, remote::kFilterKey, url_encode(text)));
    load_track_list();
    ctx_.view.focus_search();
}

void TrackCommands::load_filter() {
    const auto answer = ctx_.server.fetch(remote::command_text(remote::kGetFilter));
    if (answer.ok) {
        ctx_.view.set_filter_text(answer.body);
    }
}

void mru_add(std::vector<std::string>& list, const std::string& text, int limit) {
    const auto old = std::find_if(list.begin(), list.end(), [&](const std::string& entry) {
        return entry == text || entry.empty();
    });
    if (old != list.end()) {
        list.erase(old);
    }
    list.push_back(text);
    if (list.size() > static_cast<std::size_t>(std::max(limit, 0))) {
        list.erase(list.begin());
    }
}

}  // namespace dravo
