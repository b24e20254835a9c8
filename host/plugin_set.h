#pragma once
// The general-purpose plug-ins the host has loaded: each one's record, found through the
// exported entry, gets the host window and its module handle, then init; at the end quit and
// unload, in reverse order. Main thread only: the entries must run on the host's main thread.
#include <set>
#include <string>
#include <vector>

#include "host_window_record.h"
#include "plugin_abi.h"

namespace dravo {

struct LoadedPlugin {
    std::string path;
    std::string description;
    void* library = nullptr;  // null for a record that was handed over directly
    PluginRecord* record = nullptr;
};

class PluginSet {
public:
    explicit PluginSet(HostWindowRecord* window) : window_(window) {}
    ~PluginSet();
    PluginSet(const PluginSet&) = delete;
    PluginSet& operator=(const PluginSet&) = delete;

    // Loads every plug-in file of folder, in name order. Each failure adds one line to errors.
    // Returns how many plug-ins are running.
    int load_folder(const std::string& folder, std::vector<std::string>& errors);
    // load_folder for each folder in turn; a file name already loaded from an earlier folder
    // is skipped, so the first folder's copy wins.
    int load_folders(const std::vector<std::string>& folders, std::vector<std::string>& errors);
    // Loads one library file; false with the reason in error.
    bool load_file(const std::string& path, std::string& error);
    // Hands a record over and initialises it; library (may be null) is closed at unload.
    bool start(PluginRecord* record, void* library, const std::string& path, std::string& error);

    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    // Calls the config entry of plug-in index; out of range: nothing.
    void configure(std::size_t index);
    // Calls every quit entry, last loaded first. Once.
    void quit_all();
    // Quits (if not done) and closes the libraries.
    void unload_all();

private:
    // The plug-in files of folder in name order, leaving out names in seen (and adding the rest).
    static std::vector<std::string> plugin_files_of(const std::string& folder,
                                                    std::set<std::string>& seen);

    HostWindowRecord* window_;
    std::vector<LoadedPlugin> plugins_;
    std::vector<void*> failed_libraries_;  // init failed: kept open, their code may still run
    bool quit_done_ = false;
};

}  // namespace dravo
