#pragma once
// The folders the host loads plug-ins from when no --plugins folder is given, in order: the
// user's ($XDG_DATA_HOME/dravo/plugins, else ~/.local/share/dravo/plugins), then for an
// installed program (one under /usr) the system's plug-in folder, for a build tree the plugins
// folder beside the program. A plug-in file name found in an earlier folder is not loaded again
// from a later one, so the user's copy wins. Pure apart from default_plugin_folders, which reads
// the process's environment and its own path. Any thread.
#include <string>
#include <vector>

#include "installed_layout.h"

namespace dravo {

// program_folder and system_folder end in "/" or not; the results have no trailing "/".
std::vector<std::string> plugin_search_folders(const std::string& program_folder,
                                               const EnvironmentLookup& environment,
                                               const std::string& system_folder,
                                               const std::string& system_tree = kSystemTree);

std::vector<std::string> default_plugin_folders();

}  // namespace dravo
