#pragma once
// The client's settings: every key of the "Settings" section of its INI file with its default,
// the server-list correction applied right after loading, and where the file lies.
// Everything is written at exit (save_to_file); the three values the user changes while the
// program runs (the current server, the sleep time, the MRU filter list) are also written alone
// as soon as they change, so a crash, a power cut or a kill keeps them.
// One object for the whole run, used on the user-interface thread only (it takes no lock).
// Failures are silent: a missing or unreadable file leaves the defaults, and a failed save
// leaves the old file (the saves report it as false for a caller that wants to know; a change
// whose write failed is still written by the save at exit).
#include <optional>
#include <string>
#include <vector>

#include "settings_store.h"

namespace dravo {

inline constexpr const char* kDefaultServer = "http://localhost:81/";

class ClientSettings : public SettingsStore {
public:
    explicit ClientSettings(std::string file);

    // Loads file_name once and corrects the server list at once.
    void load_and_correct();
    // current_server back to 1 when it names no entry; every non-empty entry ends in "/".
    void correct_servers();
    // Creates the file's folder when missing, then writes every setting.
    bool save_to_file();
    // Each writes its own keys at once and no others (the folder made first when missing), in
    // one atomic replacement of the file: CurrentServer; SleepHours and SleepMinutes;
    // MRUFilter1, MRUFilter2, ... False when the file could not be written, and always without a
    // file name (a store kept in memory).
    bool save_current_server();
    bool save_sleep_time();
    bool save_mru_filter();
    // Appends url as the next ServerN and writes the list at once; an entry already in the list
    // is not added twice. Returns the entry's number (1-based), which holds even when the write
    // failed (the save at exit writes it again).
    int add_server(const std::string& url);
    // Sets the sleep time and writes it at once when it differs from the last one.
    void set_sleep_time(int hours, int minutes);
    // Entry current_server of the list; empty when it names no entry.
    std::string current_server_url() const;

    int current_server = 1;
    std::vector<std::string> servers;
    int refresh_interval = 3;  // seconds between status polls
    bool use_osd = true;
    int osd_duration = 4;  // seconds
    int osd_outline_width = 3;
    bool osd_on_new_track = true;
    int sleep_hours = 2;
    int sleep_minutes = 0;
    bool update_on_startup = true;
    std::vector<std::string> mru_filter;  // oldest first
    int mru_filter_size = 10;

private:
    bool make_folder() const;
    bool save_now(std::initializer_list<Variable> variables);
};

// Linux: $XDG_CONFIG_HOME/dravo/dravo.ini, else ~/.config/dravo/dravo.ini; ./dravo.ini without a
// home. Windows: ./dravo.ini in the current folder.
std::string default_settings_file();

// The words of argv joined by blanks: the process's command line as one text.
std::string command_line_of(int argc, const char* const* argv);

// The file named after " /i" (blank, slash, small i) in the command line: the first word after it,
// with "./" (".\" on Windows) in front when it holds no path separator. Nothing when " /i" is
// absent or no word follows it.
std::optional<std::string> settings_file_from_command_line(const std::string& command_line);

}  // namespace dravo
