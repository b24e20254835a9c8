#include "installed_layout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace dravo {

EnvironmentLookup process_environment() {
    return [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    };
}

bool lies_under(const std::string& path, const std::string& tree) {
    return path.size() > tree.size() && path.compare(0, tree.size(), tree) == 0;
}

std::string xdg_folder(XdgFolder which, const EnvironmentLookup& environment) {
    struct Rule {
        const char* variable;
        const char* below_home;
    };
    static constexpr Rule kRules[] = {{"XDG_CONFIG_HOME", ".config/"},
                                      {"XDG_STATE_HOME", ".local/state/"},
                                      {"XDG_CACHE_HOME", ".cache/"},
                                      {"XDG_DATA_HOME", ".local/share/"}};
    const Rule& rule = kRules[static_cast<int>(which)];
    if (auto value = environment(rule.variable); value && !value->empty() && (*value)[0] == '/') {
        return value->back() == '/' ? *value : *value + "/";
    }
    auto home = environment("HOME");
    if (!home || home->empty() || (*home)[0] != '/') {
        return {};
    }
    return (home->back() == '/' ? *home : *home + "/") + rule.below_home;
}

bool make_folders(const std::string& folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return !folder.empty();
    }
    // Each missing step at once with its mode (no umask change: other threads create files).
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string step = folder.substr(0, slash);
        // The user's private folders: nobody else reads a log or the settings of theirs.
        if (!step.empty()) {
            mkdir(step.c_str(), 0700);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return std::filesystem::is_directory(folder, error);
}

bool seed_from_defaults(const std::string& file, const std::string& defaults) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(file, error)) {
        return true;
    }
    if (defaults.empty() || !fs::is_regular_file(defaults, error)) {
        return false;
    }
    const fs::path target(file);
    if (!make_folders(target.parent_path().string())) {
        return false;
    }
    fs::copy_file(defaults, target, fs::copy_options::skip_existing, error);
    return fs::exists(target, error);
}

std::string program_folder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/') + 1);
}

}  // namespace dravo
