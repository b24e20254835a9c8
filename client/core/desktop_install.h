#pragma once
// How the client fits an installed Linux desktop: start at login through the user's autostart
// entry (~/.config/autostart/dravo.desktop, never a file under /etc/xdg/autostart), the
// `--autostart on|off` option, and the first run of an installed copy, whose settings start
// from the packaged file (Server1 on port 8081). User-interface or main thread; failures as
// false with the reason in words.
#include <optional>
#include <string>

#include "installed_layout.h"

namespace dravo {

class AutostartEntry {
public:
    // entry_file: the desktop entry to write or remove; program: what its Exec line runs.
    AutostartEntry(std::string entry_file, std::string program);
    // $XDG_CONFIG_HOME/autostart/dravo.desktop (else ~/.config/...) for the running program:
    // "dravo" when installed under /usr, else its full path (a build tree).
    static AutostartEntry for_this_program(const EnvironmentLookup& environment);

    bool enabled() const;
    // Writes the entry (replacing it atomically) or removes it; removing a missing one is fine.
    bool set(bool on, std::string& error) const;
    std::string text() const;
    const std::string& file() const { return entry_file_; }

private:
    std::string entry_file_;
    std::string program_;
};

// `--autostart on|off` anywhere in argv: carries it out and gives the exit status (2 for a
// missing or wrong value). Nothing when the option is absent.
std::optional<int> run_autostart_option(int argc, const char* const* argv);

// When this program lies under /usr and file is missing, copies the packaged settings there.
void seed_installed_client_settings(const std::string& file);

}  // namespace dravo
