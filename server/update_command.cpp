#include "update_command.h"

#include "player_control.h"
#include "plugin_host.h"
#include "text.h"
#include "version.h"

#ifndef DRAVO_SERVER_UPDATE_URL
#error "the build sets DRAVO_SERVER_UPDATE_URL"
#endif

namespace dravo {

std::string default_update_url() { return DRAVO_SERVER_UPDATE_URL; }

void run_update(PluginHost& host, PlayerControl& player, const std::string& base_url,
                const UpdateChecker& checker, const SendText& send) {
    // The update program is stored and started in the plug-in's folder; the process's current
    // folder belongs to the host, which may keep relative paths.
    std::string message;
    bool started = checker.run(kProgramName, base_url, parse_digits(kProgramVersion), "", message,
                               host.module_directory());
    if (!started) {
        send(message);
        return;
    }
    send(message + "\n" + "Exiting and updating...");
    player.close();
}

}  // namespace dravo
