#pragma once
// SIGINT and SIGTERM ask the host to end in order instead of killing it: the handler records
// the request and wakes the main loop, which then shuts down as for a close message.
#include "waker.h"

namespace dravo {

// Installs the handlers (and ignores SIGPIPE); waker must outlive them (the host keeps it until
// exit). Main thread.
void install_stop_signals(const Waker& waker);
// True once a stop signal arrived. Any thread.
bool stop_signal_received();

}  // namespace dravo
