// Where the client keeps its settings on Windows: beside whatever folder it was started in.
#include <string>

#include "client_settings.h"

namespace dravo {

std::string default_settings_file() { return "./dravo.ini"; }

}  // namespace dravo
