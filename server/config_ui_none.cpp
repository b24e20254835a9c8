// A build without a toolkit: the plug-in keeps its notice that the dialog is missing.
#include "config_ui.h"

namespace dravo {

void install_config_ui(Plugin&) {}

}  // namespace dravo
