// Where the client keeps its settings on Linux and other XDG desktops.
#include <cstdlib>
#include <string>

#include "client_settings.h"

namespace dravo {

std::string default_settings_file() {
    // A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return std::string(config) + "/dravo/dravo.ini";
    }
    if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        return std::string(home) + "/.config/dravo/dravo.ini";
    }
    return "./dravo.ini";
}

}  // namespace dravo
