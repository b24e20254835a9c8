#pragma once
// The plug-in's four persistent settings, kept in gen_dravo_srv.ini beside the module.
// Shared by the host's thread (init, configuration dialog) and the listener thread (requests):
// hold `guard` while reading or writing any field or calling load/save/save_setting.
#include <mutex>
#include <string>

#include "settings_store.h"

namespace dravo {

inline constexpr const char* kServerIniName = "gen_dravo_srv.ini";

class ServerSettings : public SettingsStore {
public:
    ServerSettings();

    int port = 0;
    std::string media_root;
    std::string file_extensions;
    std::string current_filter;

    std::mutex guard;
};

// The user's music folder with its trailing separator: $XDG_MUSIC_DIR, else $HOME/Music/.
std::string default_media_root();

}  // namespace dravo
