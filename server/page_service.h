#pragma once
// The browser page and its API, beside the command table: the page's files (any request may
// load them), and on kApi* paths the state as JSON, the playlist in searched pages, a seek to a
// position, a filter given in UTF-8, and the long-poll that waits for the next change.
// Answers are whole HTTP/1.0 answers with CRLF headers, a length, and the page's security
// headers (a strict Content-Security-Policy, nosniff, no referrer). Whether a browser's request
// may use the API is decided by the caller (BrowserGuard), as for commands.
// Listener thread only; the host is reached through PlayerControl. Nothing throws.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "page_watch.h"
#include "playlist_index.h"
#include "request.h"

namespace dravo {

class CommandTable;
class PlayerControl;
class ServerSettings;
struct MuteMemory;

struct PageLimits {
    std::size_t max_waiting = 64;  // long-polls held at once; beyond, the oldest is answered
    int wait_ms = 25000;           // a long-poll with no change is answered after this long
};

// A long-poll's request: answer once the revision is no longer seen, or at until.
struct PageWait {
    std::uint64_t seen = 0;
    std::chrono::steady_clock::time_point until;
};

class PageService {
public:
    using Clock = std::chrono::steady_clock;

    PageService(CommandTable& table, PlayerControl& player, const ServerSettings& settings,
                const MuteMemory& mute, PageLimits limits = {});

    bool is_file(const std::string& path) const;
    bool is_api(const std::string& path) const;

    // Sends the file at request.path (gzip when accepted; 304 when the tag matches).
    void send_file(const ParsedRequest& request, const SendText& send) const;
    // Runs an API request; a long-poll whose answer must wait gives its PageWait instead.
    std::optional<PageWait> run_api(const ParsedRequest& request, const SendText& send,
                                    Clock::time_point now);
    // The headers of an API answer without a body, for a HEAD request: nothing is run or read,
    // so no length is given.
    void send_api_head(const SendText& send) const;
    // The answer to an API request a browser may not make.
    void send_refusal(const SendText& send) const;

    // Called every turn of the listener loop, and after every command.
    void watch(Clock::time_point now, bool anyone_waits) { watch_.watch(now, anyone_waits); }
    void mark_dirty() { watch_.mark_dirty(); }
    // After a command: one that may change the player makes waiting pages look at once.
    void note_command(const std::string& path);
    bool wait_over(const PageWait& wait, Clock::time_point now) const {
        return wait.seen != watch_.revision() || now >= wait.until;
    }
    // The answer to a held long-poll: the current state.
    std::string wait_answer() const;
    const PageLimits& limits() const { return limits_; }

private:
    void send_state(const SendText& send, Clock::time_point now);
    void send_list(const QueryMap& query, const SendText& send, Clock::time_point now);
    void seek(const QueryMap& query);
    void filter(const QueryMap& query);

    CommandTable& table_;
    PlayerControl& player_;
    PageWatch watch_;
    PlaylistIndex index_;
    PageLimits limits_;
};

// A whole answer with the page's headers; extra: more header lines, each ending in CRLF.
std::string page_answer(std::string_view status, std::string_view type, std::string_view body,
                        std::string_view extra = {});

// Seeks to target_ms with the host's jump message; a host that does not move for it gets
// 5-second steps toward the target.
void seek_with_fallback(PlayerControl& player, int target_ms);

}  // namespace dravo
