#pragma once
// The host's command line. Pure functions, any thread.
#include <optional>
#include <string>
#include <vector>

namespace dravo {

struct HostOptions {
    std::string plugin_folder;  // empty: default_plugin_folders()
    std::string audio_output;   // empty: the system's; "null": decode without a device
    std::string state_folder;   // empty: default_state_folder()
    std::vector<std::string> add_paths;
    bool clear_playlist = false;
    bool gui = false;
    bool help = false;
};

// nullopt with the reason in error for an unknown option or a missing value.
std::optional<HostOptions> parse_host_options(const std::vector<std::string>& arguments,
                                              std::string& error);
// plugin_folders: where the host looks without --plugins, named in the text.
std::string host_usage(const std::string& program, const std::vector<std::string>& plugin_folders);

}  // namespace dravo
