#pragma once
// The command protocol between the client and the server plug-in, as both sides spell it: the
// request paths, their query keys and values, the keys of the "/status" answer and how an answer
// is cut into lines and a status line into its key and value words.
// Plain constants and pure functions: safe from any thread. Nothing here fails; text that does
// not follow the protocol reads as empty keys, empty values or the number 0.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravo::remote {

// Request paths (exact, case-sensitive).
inline constexpr std::string_view kFastForward = "/ffwd";
inline constexpr std::string_view kGetFilter = "/get_filter";
inline constexpr std::string_view kGetPlaying = "/get_playing";
inline constexpr std::string_view kGetRepeat = "/get_repeat";
inline constexpr std::string_view kGetShuffle = "/get_shuffle";
inline constexpr std::string_view kGetVolume = "/get_volume";
inline constexpr std::string_view kList = "/list";
inline constexpr std::string_view kMute = "/mute";
inline constexpr std::string_view kNext = "/next";
inline constexpr std::string_view kPause = "/pause";
inline constexpr std::string_view kPlay = "/play";
inline constexpr std::string_view kPlayMode = "/playmode";
inline constexpr std::string_view kPrevious = "/prev";
inline constexpr std::string_view kRewind = "/rewind";
inline constexpr std::string_view kSetFilter = "/set_filter";
inline constexpr std::string_view kShutdown = "/shutdown";
inline constexpr std::string_view kStatus = "/status";
inline constexpr std::string_view kStop = "/stop";
inline constexpr std::string_view kTitle = "/title";
inline constexpr std::string_view kUpdate = "/update";
inline constexpr std::string_view kVersion = "/version";
inline constexpr std::string_view kVolume = "/volume";

// Query keys and the play-mode values.
// Discovery on the local network: the service type, and the TXT record naming the version of
// the command protocol ("protocol=1"); a client passes over a server announcing another.
inline constexpr const char* kServiceType = "_dravo._tcp";
inline constexpr std::string_view kProtocolKey = "protocol";
inline constexpr std::string_view kProtocolVersion = "1";
// The browser page's API: answers are JSON with CRLF headers (new paths, made for browsers).
inline constexpr std::string_view kApiState = "/api/state";    // the state
inline constexpr std::string_view kApiWait = "/api/wait";      // since: the state once it differs
inline constexpr std::string_view kApiList = "/api/list";      // offset, count, q: a page
inline constexpr std::string_view kApiSeek = "/api/seek";      // ms: jump to a position
inline constexpr std::string_view kApiFilter = "/api/filter";  // text (UTF-8): apply a filter
inline constexpr std::string_view kSinceKey = "since";
inline constexpr std::string_view kOffsetKey = "offset";
inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kSearchKey = "q";
inline constexpr std::string_view kMillisecondsKey = "ms";
inline constexpr std::string_view kTextKey = "text";
inline constexpr std::string_view kFilterKey = "filter";    // /set_filter, URL-encoded text
inline constexpr std::string_view kRepeatKey = "repeat";    // /playmode
inline constexpr std::string_view kShuffleKey = "shuffle";  // /playmode
inline constexpr std::string_view kTrackKey = "track";      // /play, 1-based line of /list
inline constexpr std::string_view kVolumeKey = "volume";    // /volume, percent
inline constexpr std::string_view kModeOn = "on";
inline constexpr std::string_view kModeOff = "off";
inline constexpr std::string_view kModeToggle = "toggle";

// Keys of the "/status" answer, one "key value" line each, in the order the server sends them.
inline constexpr std::string_view kPlayingKey = "playing:";  // 0 stopped, 1 playing, 3 paused
inline constexpr std::string_view kRepeatStatusKey = "repeat:";
inline constexpr std::string_view kShuffleStatusKey = "shuffle:";
inline constexpr std::string_view kVolumeStatusKey = "volume:";
inline constexpr std::string_view kFilterStatusKey = "filter:";
inline constexpr int kStatePlaying = 1;
inline constexpr int kStatePaused = 3;

// Leads the answer of /ffwd and /rewind: "New position: [m:ss / m:ss]" and a line feed.
inline constexpr std::string_view kNewPosition = "New position: ";

// /ffwd and /rewind move by this step; a seek made of steps takes at most an hour of them.
inline constexpr int kSeekStepMs = 5000;
inline constexpr int kSeekStepsMax = 720;
// A position that drifts this far from where playing on would have taken it counts as a jump.
inline constexpr int kPositionJumpMs = 1500;

// The volume as commands and status answers carry it: percent, kVolumeMin (silent) to kVolumeMax.
inline constexpr int kVolumeMin = 0;
inline constexpr int kVolumeMax = 100;

// The longest text the client hands over from an edit (search words, filter, sleep time), in
// characters.
inline constexpr int kEditTextMax = 254;

// What the client appends to a server's base URL (which ends in "/"): the path without its
// slash, and "?key=value" when a key is given. value is put in as it is: free text must be
// URL-encoded by the caller.
std::string command_text(std::string_view path, std::string_view key = {},
                         std::string_view value = {});

// One line of a "/status" answer as the server writes it: key, a blank, value, a line feed.
std::string status_line(std::string_view key, std::string_view value);

// The lines of an answer: each ends at a line feed (not kept); empty lines in between count, the
// text after the last line feed is a line only when it is not empty. A carriage return before a
// line feed stays in its line. The views point into answer.
std::vector<std::string_view> answer_lines(std::string_view answer);

// The first two words of a line, split at white space (blank, tab, CR, LF, VT, FF); further words
// are ignored. Missing words are empty.
struct StatusEntry {
    std::string_view key;
    std::string_view value;
};
StatusEntry status_entry(std::string_view line);

// A value word as a signed number: the leading decimal digits (none give 0), wrapped to 32 bits
// and taken as signed, so a comparison with a negative or huge value behaves predictably.
std::int32_t status_number(std::string_view value);

}  // namespace dravo::remote
