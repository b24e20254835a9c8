#pragma once
// The real host boundary: the host window the host wrote into the plug-in record.
#include <memory>

#include "plugin_host.h"

namespace dravo {

// hwnd_parent is the record's hwndParent. A missing or unknown window gives a host whose sends
// answer 0 and whose message boxes go to standard error.
std::unique_ptr<PluginHost> make_window_host(void* hwnd_parent);

}  // namespace dravo
