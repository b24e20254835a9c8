// dravo: the remote control's desktop client.
#include <QApplication>

#include <cstdio>
#include <string_view>

#include "client_settings.h"
#include "desktop_install.h"
#include "media_key_wiring.h"
#include "remote_app.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help") {
            std::fputs(dravo::usage_text(), stdout);
            return 0;
        }
    }
    if (const auto status = dravo::run_autostart_option(argc, argv)) {
        return *status;
    }
    dravo::seed_installed_client_settings(dravo::default_settings_file());
    // The settings exist with their defaults before anything else runs.
    dravo::ClientSettings settings(dravo::default_settings_file());
    // Only " /i" on the command line changes what the program does, so Qt sees no arguments.
    int qt_argc = 1;
    QApplication app(qt_argc, argv);
    QApplication::setApplicationName("dravo");
    QApplication::setDesktopFileName("dravo");
    return dravo::run_client(settings, dravo::command_line_of(argc, argv),
                             dravo::make_media_key_hook);
}
