#include "desktop_install.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#ifndef DRAVO_CLIENT_DEFAULT_SETTINGS
#define DRAVO_CLIENT_DEFAULT_SETTINGS "/usr/share/dravo/dravo.ini"
#endif

namespace dravo {
namespace {

// An Exec value: a path with anything but letters, digits and "/._+-" is quoted as the desktop
// entry rules say (a backslash before " ` $ \, itself escaped in the file; % doubled).
std::string exec_value(const std::string& program) {
    const bool plain = program.find_first_not_of(
                           "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-") ==
                       std::string::npos;
    if (plain) {
        return program;
    }
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += "\\\\";
        }
        if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

AutostartEntry::AutostartEntry(std::string entry_file, std::string program)
    : entry_file_(std::move(entry_file)), program_(std::move(program)) {}

AutostartEntry AutostartEntry::for_this_program(const EnvironmentLookup& environment) {
    const std::string config = xdg_folder(XdgFolder::config, environment);
    const std::string folder = program_folder();
    const std::string program = lies_under(folder) || folder.empty() ? "dravo" : folder + "dravo";
    return AutostartEntry((config.empty() ? std::string("./") : config) + "autostart/dravo.desktop",
                          program);
}

bool AutostartEntry::enabled() const {
    std::error_code error;
    return std::filesystem::exists(entry_file_, error);
}

std::string AutostartEntry::text() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=dravo\n"
           "Comment=Control a music player from the notification area\n"
           "Exec=" +
           exec_value(program_) +
           "\n"
           "Icon=dravo\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntry::set(bool on, std::string& error) const {
    namespace fs = std::filesystem;
    std::error_code failure;
    if (!on) {
        fs::remove(entry_file_, failure);
        if (failure) {
            error = "cannot remove " + entry_file_ + ": " + failure.message();
        }
        return !failure;
    }
    const fs::path file(entry_file_);
    if (!make_folders(file.parent_path().string())) {
        error = "cannot make the folder " + file.parent_path().string();
        return false;
    }
    // Written beside and renamed: a session starting meanwhile never reads half an entry.
    const std::string partial = entry_file_ + ".new";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text();
        if (!out.flush()) {
            error = "cannot write " + partial;
            return false;
        }
    }
    fs::rename(partial, file, failure);
    if (failure) {
        fs::remove(partial, failure);
        error = "cannot write " + entry_file_;
        return false;
    }
    return true;
}

std::optional<int> run_autostart_option(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--autostart") {
            continue;
        }
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        if (value != "on" && value != "off") {
            std::fputs("dravo: --autostart needs on or off\n", stderr);
            return 2;
        }
        const AutostartEntry entry = AutostartEntry::for_this_program(process_environment());
        std::string error;
        if (!entry.set(value == "on", error)) {
            std::fprintf(stderr, "dravo: %s\n", error.c_str());
            return 1;
        }
        std::printf("dravo: start at login %s (%s)\n", value == "on" ? "on" : "off",
                    entry.file().c_str());
        return 0;
    }
    return std::nullopt;
}

void seed_installed_client_settings(const std::string& file) {
    if (lies_under(program_folder())) {
        seed_from_defaults(file, DRAVO_CLIENT_DEFAULT_SETTINGS);
    }
}

}  // namespace dravo
