#pragma once
// The server's own update: check the update site and, when a newer release was downloaded and
// its update program started, ask the host to close so the program can replace the plug-in.
// Runs on the listener thread.
#include <string>

#include "request.h"
#include "update_checker.h"

namespace dravo {

class PlayerControl;
class PluginHost;

// Where the server looks for releases unless the settings name another site.
std::string default_update_url();

void run_update(PluginHost& host, PlayerControl& player, const std::string& base_url,
                const UpdateChecker& checker, const SendText& send);

}  // namespace dravo
