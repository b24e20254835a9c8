#pragma once
// Where an installed program keeps its files on Linux: whether a file lies in the system's
// tree (an installed copy, which must never write beside itself), the XDG base folders, and the
// first-run copy of a packaged default file. POSIX only. Any thread; the environment is read
// through the lookup the caller hands in, so tests need not change the process's.
// Failures are results: an empty folder when neither the variable nor a home is known, false
// when a copy cannot be made.
#include <functional>
#include <optional>
#include <string>

namespace dravo {

// Returns the value of an environment variable, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

EnvironmentLookup process_environment();

// The tree an installed copy lies under ("writable" proves nothing: root may write there).
inline constexpr const char* kSystemTree = "/usr/";

// True when path (a file or a folder) lies under tree, which ends in "/".
bool lies_under(const std::string& path, const std::string& tree = kSystemTree);

enum class XdgFolder { config, state, cache, data };

// $XDG_CONFIG_HOME, $XDG_STATE_HOME, $XDG_CACHE_HOME or $XDG_DATA_HOME with "/" appended, else
// the home's .config/, .local/state/, .cache/ or .local/share/. A relative value is ignored, as
// the XDG rules say. Empty when neither an absolute value nor a home is known.
std::string xdg_folder(XdgFolder which, const EnvironmentLookup& environment);

// Makes folder and its missing parents (mode 0700 for new ones); true when it exists afterwards.
bool make_folders(const std::string& folder);

// When file is missing and defaults exists, copies defaults to file (making its folder).
// True when file exists afterwards.
bool seed_from_defaults(const std::string& file, const std::string& defaults);

// The folder of the running program, with its trailing "/"; empty when it cannot be read.
std::string program_folder();

}  // namespace dravo
