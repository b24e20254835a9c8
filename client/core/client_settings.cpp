#include "client_settings.h"

#include <algorithm>
#include <filesystem>

#include "text.h"

namespace dravo {

ClientSettings::ClientSettings(std::string file) : SettingsStore(std::move(file)) {
    add_int("CurrentServer", current_server, 1);
    add_list("Server", servers, {kDefaultServer});
    add_int("RefreshInterval", refresh_interval, 3);
    add_bool("UseOSD", use_osd, true);
    add_int("OSDDuration", osd_duration, 4);
    add_int("OSDOutlineWidth", osd_outline_width, 3);
    add_bool("OSDOnNewTrack", osd_on_new_track, true);
    add_int("SleepHours", sleep_hours, 2);
    add_int("SleepMinutes", sleep_minutes, 0);
    add_bool("UpdateOnStartup", update_on_startup, true);
    add_list("MRUFilter", mru_filter, {});
    add_int("MRUFilterSize", mru_filter_size, 10);
}

void ClientSettings::load_and_correct() {
    load();
    correct_servers();
}

void ClientSettings::correct_servers() {
    if (current_server < 1 || static_cast<std::size_t>(current_server) > servers.size()) {
        current_server = 1;
    }
    for (auto& server : servers) {
        if (!server.empty() && server.back() != '/') {
            server += '/';
        }
    }
}

bool ClientSettings::make_folder() const {
    const auto folder = std::filesystem::path(file_name).parent_path();
    std::error_code error;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
    }
    return !error;
}

bool ClientSettings::save_to_file() {
    const bool folder = make_folder();
    save();
    std::error_code error;
    return folder && std::filesystem::exists(file_name, error);
}

bool ClientSettings::save_now(std::initializer_list<Variable> variables) {
    return !file_name.empty() && make_folder() && save_settings(variables);
}

bool ClientSettings::save_current_server() { return save_now({&current_server}); }

bool ClientSettings::save_sleep_time() { return save_now({&sleep_hours, &sleep_minutes}); }

bool ClientSettings::save_mru_filter() { return save_now({&mru_filter}); }

int ClientSettings::add_server(const std::string& url) {
    const auto it = std::find(servers.begin(), servers.end(), url);
    if (it != servers.end()) {
        return static_cast<int>(it - servers.begin()) + 1;
    }
    servers.push_back(url);
    save_now({&servers});
    return static_cast<int>(servers.size());
}

void ClientSettings::set_sleep_time(int hours, int minutes) {
    if (hours == sleep_hours && minutes == sleep_minutes) {
        return;
    }
    sleep_hours = hours;
    sleep_minutes = minutes;
    save_sleep_time();
}

std::string ClientSettings::current_server_url() const {
    if (current_server < 1 || static_cast<std::size_t>(current_server) > servers.size()) {
        return {};
    }
    return servers[static_cast<std::size_t>(current_server) - 1];
}

std::string command_line_of(int argc, const char* const* argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

std::optional<std::string> settings_file_from_command_line(const std::string& command_line) {
    const auto option = command_line.find(" /i");
    if (option == std::string::npos) {
        return std::nullopt;
    }
    const auto words = split_words(std::string_view(command_line).substr(option + 3));
    if (words.empty()) {
        return std::nullopt;  // keep the default file rather than one without a name
    }
    std::string name(words.front());
    if (name.find(kPathSeparator) != std::string::npos) {
        return name;
    }
    return std::string(".") + kPathSeparator + name;
}

}  // namespace dravo
