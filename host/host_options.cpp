#include "host_options.h"

namespace dravo {

std::optional<HostOptions> parse_host_options(const std::vector<std::string>& arguments,
                                              std::string& error) {
    HostOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* value_of = nullptr;
        std::string added;
        if (argument == "--plugins") {
            value_of = &options.plugin_folder;
        } else if (argument == "--audio-output") {
            value_of = &options.audio_output;
        } else if (argument == "--state-dir") {
            value_of = &options.state_folder;
        } else if (argument == "--add") {
            value_of = &added;
        } else if (argument == "--clear") {
            options.clear_playlist = true;
            continue;
        } else if (argument == "--gui") {
            options.gui = true;
            continue;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        } else {
            error = "unknown option " + argument;
            return std::nullopt;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            error = argument + " needs a value";
            return std::nullopt;
        }
        *value_of = arguments[++i];
        if (value_of == &added) {
            options.add_paths.push_back(added);
        }
    }
    return options;
}

std::string host_usage(const std::string& program, const std::vector<std::string>& plugin_folders) {
    std::string folders;
    for (const auto& folder : plugin_folders) {
        folders += "                       " + folder + "\n";
    }
    return "Usage: " + program +
           " [options]\n"
           "A small music player that runs general-purpose plug-ins (gen_*.so).\n"
           "  --plugins DIR        plug-in folder; without it the host looks in these, in\n"
           "                       order (a file name found first is not loaded again):\n" +
           folders +
           "  --audio-output NAME  null (decode without a device) or an mpv audio output\n"
           "                       (default: the system's)\n"
           "  --state-dir DIR      where the playlist and settings are remembered\n"
           "                       (default: $XDG_CONFIG_HOME/dravo-host)\n"
           "  --add PATH           append a file, playlist or folder at start (repeatable)\n"
           "  --clear              start with an empty playlist\n"
           "  --gui                show a window (default: no window)\n"
           "  --help               show this text\n";
}

}  // namespace dravo
