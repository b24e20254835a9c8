#include "client_info.h"

#ifndef DRAVO_CLIENT_UPDATE_URL
#error "the build sets DRAVO_CLIENT_UPDATE_URL"
#endif

namespace dravo {

std::string client_update_url() { return DRAVO_CLIENT_UPDATE_URL; }

}  // namespace dravo
