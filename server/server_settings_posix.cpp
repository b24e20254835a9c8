// Where the user's music lives on Linux.
#include <cstdlib>
#include <string>

#include "server_settings.h"
#include "text.h"

namespace dravo {

std::string default_media_root() {
    std::string root;
    if (const char* music = std::getenv("XDG_MUSIC_DIR"); music && *music) {
        root = music;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        root = std::string(home) + "/Music";
    }
    return with_trailing_separator(root);
}

}  // namespace dravo
