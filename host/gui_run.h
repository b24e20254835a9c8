#pragma once
// The windowed mode: a Qt event loop that also runs the host's pending work.
#include "host_options.h"

namespace dravo {

// Runs the host with its window until it ends; the process's exit status. Main thread.
int run_gui_host(int argc, char** argv, const HostOptions& options);

}  // namespace dravo
