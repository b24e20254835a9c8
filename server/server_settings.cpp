#include "server_settings.h"

namespace dravo {

ServerSettings::ServerSettings() : SettingsStore("") {
    add_int("port", port, 81);
    add_string("media_root", media_root, default_media_root());
    add_string("file_extensions", file_extensions, "mp3 ogg wav url");
    add_string("current_filter", current_filter, "");
}

}  // namespace dravo
