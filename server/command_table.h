#pragma once
// The command table: maps a request path to the command that writes its body, at once or, for
// "/update", later from a worker (through the DeferAnswer the caller hands down).
// Runs on the listener thread only.
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "late_answer.h"
#include "request.h"

namespace dravo {

class PlayerControl;
class ServerSettings;
class PluginHost;
class TrackFilter;
class UpdateRunner;

// The plug-in's mute memory (one per Plugin): set while the server holds the player muted.
struct MuteMemory {
    bool muted = false;
    int saved_volume = 0;
};

// The player's volume (0-255) in percent, as every answer gives it.
int to_percent(int player_volume);

struct CommandEnv {
    PluginHost& host;
    PlayerControl& player;
    ServerSettings& settings;
    TrackFilter* filter;  // null in tests that need no media library
    MuteMemory& mute;
    UpdateRunner* updates = nullptr;  // null in tests that check no updates ("/update" then
                                      // answers kUpdateNoVersionInfo)
};

class CommandTable {
public:
    explicit CommandTable(CommandEnv env);
    // Runs the command for path (exact, case-sensitive). False when no command matches. A
    // command answers through send_text before it returns, or calls defer and finishes the
    // answer it gets later.
    bool run(const std::string& path, const QueryMap& query, const SendText& send_text,
             const DeferAnswer& defer);
    bool has(const std::string& path) const { return commands_.count(path) != 0; }

private:
    using Handler = std::function<void(const QueryMap&, const SendText&)>;
    using LateHandler = std::function<void(const QueryMap&, const DeferAnswer&)>;
    void add_commands();
    void add(std::string_view path, Handler handler) {
        commands_.emplace(path, std::move(handler));
    }
    void add_late(std::string_view path, LateHandler handler) {
        late_commands_.emplace(path, std::move(handler));
    }
    std::string current_filter();
    std::string volume_percent();
    std::string position_line();
    int new_mode(const std::string& value, int (PlayerControl::*current)());
    void mute(const SendText& send);
    void play(const QueryMap& query);
    void set_filter(const QueryMap& query);
    void playmode(const QueryMap& query);
    void status(const SendText& send);
    void title(const SendText& send);
    void list(const SendText& send);

    CommandEnv env_;
    std::map<std::string, Handler> commands_;
    std::map<std::string, LateHandler> late_commands_;
};

}  // namespace dravo
