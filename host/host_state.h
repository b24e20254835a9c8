#pragma once
// What the host remembers between runs, in its state folder: the playlist as "playlist.m3u8"
// (one entry a line) and the rest as "player.ini" (key=value lines). Files are replaced
// atomically, so a crash while saving leaves the previous state. Main thread only.
#include <string>
#include <vector>

namespace dravo {

struct HostState {
    std::vector<std::string> playlist;
    int position = 0;
    int volume = 255;
    bool shuffle = false;
    bool repeat = false;
};

// Missing or damaged files give the defaults (for the part they hold).
HostState load_host_state(const std::string& folder);
// Each creates the folder when needed; false when the file could not be written.
bool save_host_settings(const std::string& folder, const HostState& state);
bool save_host_playlist(const std::string& folder, const std::vector<std::string>& playlist);
// The default folder: $XDG_CONFIG_HOME/dravo-host, else $HOME/.config/dravo-host.
std::string default_state_folder();

}  // namespace dravo
