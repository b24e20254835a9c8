#pragma once
// SIGTERM and SIGINT (logout, Ctrl+C) end the client the way Exit does instead of killing it:
// the handler only writes a byte to a pipe, whose read end the GUI loop watches.
// install_quit_signals() once, on the main thread, before the window starts; it gives the pipe's
// read end, or -1 when no pipe could be made (the signals then keep their default action).
namespace dravo {

int install_quit_signals();
// Empties the pipe after the GUI loop saw it readable. Main thread.
void drain_quit_signals(int fd);

}  // namespace dravo
