#include "host_state.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "playlist_files.h"

namespace dravo {

namespace {

const char* const kPlaylistFile = "playlist.m3u8";
const char* const kSettingsFile = "player.ini";

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_atomically(const std::string& folder, const char* name, const std::string& content) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const auto target = std::filesystem::path(folder) / name;
    auto temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, error);
    return !error;
}

// A whole decimal number in range, else fallback.
int read_int(const std::string& text, int fallback, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) {
        return fallback;
    }
    return static_cast<int>(value);
}

}  // namespace

HostState load_host_state(const std::string& folder) {
    HostState state;
    const auto base = std::filesystem::path(folder);
    state.playlist = parse_m3u(read_file(base / kPlaylistFile), folder);
    std::istringstream lines(read_file(base / kSettingsFile));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "position") {
            state.position = read_int(value, state.position, 0, 0x7fffffff);
        } else if (key == "volume") {
            state.volume = read_int(value, state.volume, 0, 255);
        } else if (key == "shuffle") {
            state.shuffle = read_int(value, 0, 0, 1) == 1;
        } else if (key == "repeat") {
            state.repeat = read_int(value, 0, 0, 1) == 1;
        }
    }
    return state;
}

bool save_host_settings(const std::string& folder, const HostState& state) {
    std::string content;
    content += "position=" + std::to_string(state.position) + "\n";
    content += "volume=" + std::to_string(state.volume) + "\n";
    content += std::string("shuffle=") + (state.shuffle ? "1" : "0") + "\n";
    content += std::string("repeat=") + (state.repeat ? "1" : "0") + "\n";
    return write_atomically(folder, kSettingsFile, content);
}

bool save_host_playlist(const std::string& folder, const std::vector<std::string>& playlist) {
    std::string content = "#EXTM3U\n";
    for (const auto& entry : playlist) {
        content += entry;
        content += '\n';
    }
    return write_atomically(folder, kPlaylistFile, content);
}

std::string default_state_folder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::string(config) + "/dravo-host";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::string(home) + "/.config/dravo-host";
    }
    return ".dravo-host";
}

}  // namespace dravo
