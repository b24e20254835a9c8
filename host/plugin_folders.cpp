#include "plugin_folders.h"

#ifndef DRAVO_SYSTEM_PLUGIN_DIR
#define DRAVO_SYSTEM_PLUGIN_DIR "/usr/lib/dravo/plugins"
#endif

namespace dravo {
namespace {

std::string without_trailing_slash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

std::vector<std::string> plugin_search_folders(const std::string& program_folder,
                                               const EnvironmentLookup& environment,
                                               const std::string& system_folder,
                                               const std::string& system_tree) {
    std::vector<std::string> folders;
    if (const std::string data = xdg_folder(XdgFolder::data, environment); !data.empty()) {
        folders.push_back(data + "dravo/plugins");
    }
    const std::string program = without_trailing_slash(program_folder);
    if (lies_under(program + "/", system_tree)) {
        folders.push_back(without_trailing_slash(system_folder));
    } else {
        // A build tree: the build puts the plug-ins beside the program, never the system's.
        folders.push_back(program.empty() ? std::string("plugins") : program + "/plugins");
    }
    return folders;
}

std::vector<std::string> default_plugin_folders() {
    return plugin_search_folders(program_folder(), process_environment(), DRAVO_SYSTEM_PLUGIN_DIR);
}

}  // namespace dravo
