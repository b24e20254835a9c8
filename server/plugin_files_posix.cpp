#include "plugin_files_posix.h"

#include "media_cache.h"
#include "server_log.h"
#include "server_settings.h"

#ifndef DRAVO_SERVER_DEFAULT_SETTINGS
#define DRAVO_SERVER_DEFAULT_SETTINGS "/usr/share/dravo/gen_dravo_srv.ini"
#endif

namespace dravo {
namespace {

constexpr const char* kAppFolder = "dravo/";

bool installed(const std::string& module_directory, const InstalledLayout& layout) {
    return lies_under(module_directory, layout.system_tree);
}

}  // namespace

PluginFiles plugin_files_for(const std::string& module_directory, const InstalledLayout& layout) {
    const PluginFiles beside{module_directory + kServerIniName, module_directory + kServerLogName,
                             module_directory};
    if (!installed(module_directory, layout)) {
        return beside;
    }
    const std::string config = xdg_folder(XdgFolder::config, layout.environment);
    const std::string state = xdg_folder(XdgFolder::state, layout.environment);
    const std::string cache = xdg_folder(XdgFolder::cache, layout.environment);
    // Without a home there is no user's folder; the current folder is the last resort, never
    // the read-only module folder.
    auto in = [](const std::string& base) {
        return base.empty() ? std::string("./") : base + kAppFolder;
    };
    return {in(config) + kServerIniName, in(state) + kServerLogName, in(cache)};
}

PluginFiles prepare_plugin_files(const std::string& module_directory,
                                 const InstalledLayout& layout) {
    PluginFiles files = plugin_files_for(module_directory, layout);
    if (!installed(module_directory, layout)) {
        return files;
    }
    auto folder_of = [](const std::string& file) { return file.substr(0, file.rfind('/') + 1); };
    make_folders(folder_of(files.log));
    make_folders(files.cache_folder);
    if (!seed_from_defaults(files.settings, layout.default_settings)) {
        make_folders(folder_of(files.settings));
    }
    return files;
}

PluginFiles prepare_plugin_files(const std::string& module_directory) {
    return prepare_plugin_files(
        module_directory, {process_environment(), kSystemTree, DRAVO_SERVER_DEFAULT_SETTINGS});
}

}  // namespace dravo
