#pragma once
// The plug-in's four persistent settings, kept in gen_dravo_srv.ini beside the module.
// Shared by the host's thread (init, configuration dialog) and the listener thread (requests):
// every member may be called from any thread; the lock is inside and is never held while the
// caller runs. Reads give copies. Failures: load and the save methods answer false when the
// file could not be read or written; the values in memory are set all the same.
#include <mutex>
#include <string>

#include "settings_store.h"

namespace dravo {

inline constexpr const char* kServerIniName = "gen_dravo_srv.ini";

struct ServerValues {
    int port = 81;
    std::string media_root;
    std::string file_extensions;
    std::string current_filter;
};

class ServerSettings {
public:
    ServerSettings();
    ServerSettings(const ServerSettings&) = delete;
    ServerSettings& operator=(const ServerSettings&) = delete;

    ServerValues values() const { return copy(values_); }
    int port() const { return copy(values_.port); }
    std::string media_root() const { return copy(values_.media_root); }
    std::string file_extensions() const { return copy(values_.file_extensions); }
    std::string current_filter() const { return copy(values_.current_filter); }
    std::string file_name() const { return copy(store_.file_name); }

    // Reads file (missing keys keep their values) and keeps its name for the saves.
    bool load(const std::string& file);
    // The dialog's apply: replaces port, media root and extensions and writes all four keys.
    bool save_config(int port, const std::string& media_root, const std::string& file_extensions);
    // Replaces current_filter and writes that key alone.
    bool save_current_filter(const std::string& text);
    // Changes the values in memory without writing (set-up of tests and benchmarks).
    template <class Change>
    void edit(Change&& change) {
        std::lock_guard lock(mutex_);
        change(values_);
    }
    void set_file_name(const std::string& file);

private:
    template <class T>
    T copy(const T& field) const {
        std::lock_guard lock(mutex_);
        return field;
    }

    mutable std::mutex mutex_;
    ServerValues values_;
    SettingsStore store_;  // bound to the fields of values_
};

// The user's music folder with its trailing separator: $XDG_MUSIC_DIR, else $HOME/Music/.
std::string default_media_root();

}  // namespace dravo
