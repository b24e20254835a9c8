// On Windows every file of the plug-in lies beside the DLL, in the player's plug-in folder.
#include "media_cache.h"
#include "plugin_files.h"
#include "server_log.h"
#include "server_settings.h"

namespace dravo {

PluginFiles prepare_plugin_files(const std::string& module_directory) {
    return {module_directory + kServerIniName, module_directory + kServerLogName, module_directory};
}

}  // namespace dravo
