#pragma once
// Gives the plug-in its configuration dialog, where this build has one (chosen by CMake: the
// Qt dialog, the Win32 dialog, or none). Called by the init entry on the host's main thread,
// before Plugin::init.
namespace dravo {

class Plugin;

void install_config_ui(Plugin& plugin);

}  // namespace dravo
