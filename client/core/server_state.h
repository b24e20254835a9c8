#pragma once
// The server's state as its state API gives it (JSON, UTF-8), read into plain values, with the
// playing entry's file name turned into a file URL for the desktop's media-player interface.
// Pure functions, safe from any thread. Failure: an answer that is not the state's JSON gives
// nothing; a field that is missing or of another type keeps its default.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dravo {

struct ServerState {
    std::uint64_t revision = 0;  // counts every change the server saw
    std::uint64_t list_revision = 0;
    std::string play_state;    // "playing", "paused" or "stopped"
    int index = -1;            // the playing entry, from 0
    int position_ms = -1;      // -1: unknown
    int length_s = -1;         // -1: unknown
    std::string file;          // the playing entry's file name; empty when not listed
    std::int64_t read_ms = 0;  // steady clock, when the answer arrived (the position's moment)
};

std::optional<ServerState> parse_server_state(std::string_view json);

// The name of entry index from one page of the playlist API; nothing when the page lacks it.
std::optional<std::string> parse_list_entry(std::string_view json, int index);

// "file://" and the path percent-encoded (letters, digits, "-._~/" stay); a Windows path
// ("C:\\Music\\a.mp3") becomes "file:///C:/Music/a.mp3". Empty for anything but an absolute path.
std::string file_url(std::string_view name);

}  // namespace dravo
