#pragma once
// The track list and the server filter: loading "/list" into the table and the window, the
// local search, playing the selected row by its track number, applying and showing the server's
// filter. A server that cannot be reached leaves an empty list (load), sends in vain (play,
// apply) or leaves the filter edit as it was (load_filter); nothing is reported.
// User-interface thread only, one operation at a time.
#include <string>
#include <vector>

#include "client_context.h"

namespace dravo {

class PlayerCommands;

class TrackCommands {
public:
    TrackCommands(ClientContext context, PlayerCommands& player);

    void load_track_list();
    // Refills the shown rows from the table after the search text changed.
    void show_matching_tracks();
    void play_selected();
    // Adds the filter to the MRU list (written to the settings file at once when it changed) and
    // sets it on the server.
    void apply_filter();
    void load_filter();

private:
    void select_first_row();

    ClientContext ctx_;
    PlayerCommands& player_;
};

// Adds text as the newest entry: the first entry equal to it or empty goes first, and the oldest
// entry goes when the list then holds more than limit entries (one entry only).
void mru_add(std::vector<std::string>& list, const std::string& text, int limit);

}  // namespace dravo
