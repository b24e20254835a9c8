#pragma once
// Gives the plug-in its configuration dialog, where this build has one (chosen by CMake: the
// Qt dialog, or none). Call on the host's main thread before init.
namespace dravo {

class Plugin;

void install_config_ui(Plugin& plugin);

}  // namespace dravo
