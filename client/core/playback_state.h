#pragma once
// What the client believes about the player between status polls. Owned by the session, read
// and written on the user-interface thread only.
#include <string>

#include "server_state.h"

namespace dravo {

struct PlaybackState {
    int volume = 50;  // percent, as last shown; 0 to 100 once set
    bool shuffle_on = false;
    bool is_playing = false;  // playing or paused
    bool is_paused = false;   // paused, and also after a stop
    std::string last_title;   // the title last seen, to announce only changes
    bool repeat_on = false;   // from "/status"
    // The server known to offer the state API (SessionFeed), and the state it pushed last; empty
    // and default without one.
    std::string api_server;
    ServerState pushed;
};

}  // namespace dravo
