// The media root of a fresh installation on Windows.
#include <string>

#include "server_settings.h"

namespace dravo {

std::string default_media_root() { return "c:\\mp3\\"; }

}  // namespace dravo
