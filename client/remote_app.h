#pragma once
// The client program: reads the command line (" /i file"), loads the settings, runs the main
// window from its start-up to its shutdown and ends when Exit, a quit signal (SIGTERM, SIGINT) or
// a started update ends the window, or when the display goes away (logout: the window's shutdown,
// then the process ends at once, see lost_display.h). The media keys join through media_keys()
// before run().
// Construct and run on the main thread after the QApplication. run() gives the exit status.
#include <string>

#include "media_key_hooks.h"

namespace dravo {

class ClientSettings;

class RemoteApp {
public:
    RemoteApp(ClientSettings& settings, std::string command_line);

    MediaKeyHooks& media_keys() { return keys_; }
    int run();

private:
    ClientSettings& settings_;
    std::string command_line_;
    MediaKeyHooks keys_;
};

// Usage text for --help.
const char* usage_text();

}  // namespace dravo
