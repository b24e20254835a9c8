#pragma once
// Looks on the update site for a newer release, downloads its update program into a given folder
// and starts it there; replacing the program's files is the update program's business, ending
// soon after is the caller's.
//
// The site's "version.txt" starts with the newest version in digit form (v1.68 is 168). The
// update program is started only when the file also publishes the program's SHA-256 digest and
// the downloaded bytes match it:  "168 sha256=<64 hex digits>". A download without a published
// digest, or with a different one, is never stored or run.
//
// A check blocks the calling thread for up to two downloads (see FetchLimits). An UpdateChecker
// keeps no state between checks; one instance may be used by one thread at a time, separate
// instances from any thread. Nothing here changes the process's current folder.
#include <functional>
#include <string>

#include "fetch.h"

namespace dravo {

inline constexpr const char* kUpdateNoVersionInfo =
    "Couldn't retrieve new version info. Please try again later.";
inline constexpr const char* kUpdateLatestVersion = "You're running the latest version.";
inline constexpr const char* kUpdateDownloadFailed =
    "Couldn't download update program. Please download manually at ";  // + update base URL
inline constexpr const char* kUpdateStarted = "OK! New version downloaded.";

// Starts the program at path with the arguments (split at blanks and tabs, no quoting) in the
// working folder (empty: the caller's) without waiting for it. True when it started.
using ProgramLauncher = std::function<bool(const std::string& path, const std::string& arguments,
                                           const std::string& working_folder)>;

// The real launcher: the program runs in a session of its own, detached from the caller, in the
// working folder with the caller's environment, and no other of the caller's open files.
bool start_detached(const std::string& path, const std::string& arguments,
                    const std::string& working_folder = {});

// File name of a program's update program: name + "_update" ("_update.exe" on Windows).
std::string update_program_file(const std::string& program_name);

class UpdateChecker {
public:
    explicit UpdateChecker(ProgramLauncher launcher = start_detached, FetchLimits limits = {});

    // Removes a leftover update program, fetches base_url + "version.txt" and, when it names a
    // version above running_version (digit form) with a digest, fetches base_url +
    // update_program_file(program_name), checks it, stores it in folder (empty: the current one)
    // with its run bits set and starts it there with arguments. True exactly when the update
    // program was started.
    // message is always set to one of the kUpdate... texts (kUpdateDownloadFailed followed by
    // base_url), also when the digest is missing or wrong or the program could not be stored or
    // started; in those cases no update program is left in the folder.
    bool run(const std::string& program_name, const std::string& base_url, int running_version,
             const std::string& arguments, std::string& message,
             const std::string& folder = {}) const;

private:
    ProgramLauncher launcher_;
    FetchLimits limits_;
};

}  // namespace dravo
