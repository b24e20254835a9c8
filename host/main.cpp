// player_host: a small music player that runs general-purpose plug-ins.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "gui_run.h"
#include "host_app.h"
#include "host_options.h"
#include "plugin_folders.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto options = dravo::parse_host_options(arguments, error);
    if (!options) {
        std::cerr << "player_host: " << error << "\n"
                  << dravo::host_usage("player_host", dravo::default_plugin_folders());
        return 2;
    }
    if (options->help) {
        std::cout << dravo::host_usage("player_host", dravo::default_plugin_folders());
        return 0;
    }
    if (options->gui) {
        return dravo::run_gui_host(argc, argv, *options);
    }
    std::setlocale(LC_NUMERIC, "C");
    dravo::HostApp host(*options);
    if (!host.start({}, error)) {
        std::cerr << "player_host: " << error << "\n";
        return 1;
    }
    host.run_headless();
    return host.finish();
}
