#pragma once
// Where the plug-in keeps its settings, log and cache. Beside its own file, except for an
// installed copy on Linux (a module under /usr), which must not write there and keeps each file
// in the user's XDG folder instead: settings in $XDG_CONFIG_HOME/dravo/, the log in
// $XDG_STATE_HOME/dravo/, the cache in $XDG_CACHE_HOME/dravo/. The platform file decides.
// Called on the host's thread at init. Failures: a folder that cannot be made is left to the
// file's own writer to report (an unreadable INI leaves the defaults, as always).
#include <string>

namespace dravo {

struct PluginFiles {
    std::string settings;      // the INI file
    std::string log;           // the log file
    std::string cache_folder;  // ends in the separator; the cache file lies there
};

// The files for a module in module_directory (ends in the separator). For an installed copy
// the folders are made and, on the first start, the packaged default settings are copied to
// the user's INI.
PluginFiles prepare_plugin_files(const std::string& module_directory);

}  // namespace dravo
