#pragma once
// The Linux rule of plugin_files.h with its inputs handed in, for tests: the environment, the
// tree an installed copy lies under, and the packaged default settings. Any thread.
#include "installed_layout.h"
#include "plugin_files.h"

namespace dravo {

struct InstalledLayout {
    EnvironmentLookup environment;
    std::string system_tree = kSystemTree;  // ends in "/"
    std::string default_settings;           // copied to the user's INI when that is missing
};

// Pure: where the files lie, without touching the disk.
PluginFiles plugin_files_for(const std::string& module_directory, const InstalledLayout& layout);
// plugin_files_for, then the folders made and the defaults copied for an installed copy.
PluginFiles prepare_plugin_files(const std::string& module_directory,
                                 const InstalledLayout& layout);

}  // namespace dravo
