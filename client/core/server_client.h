#pragma once
// The client's side of the command protocol: builds a command's URL from the current server and
// sends it. Every request goes through the RequestRunner, strictly one at a time, with the
// client's limits (2 s to connect, 30 s in all); nothing is retried.
// User-interface thread only. Failures: fetch() gives ok false with whatever body arrived before
// the failure; send() reports nothing (its outcome is never looked at); fetch_title() gives
// nothing.
#include <optional>
#include <string>

#include "fetch.h"

namespace dravo {

class ClientSettings;
class RequestRunner;

inline constexpr FetchLimits kClientLimits{std::chrono::milliseconds(2000),
                                           std::chrono::milliseconds(30000)};

struct FetchResult {
    bool ok = false;
    std::string body;
};

class ServerClient {
public:
    ServerClient(const ClientSettings& settings, RequestRunner& runner,
                 FetchLimits limits = kClientLimits);

    // The current server's base URL (ending in "/") followed directly by command.
    std::string command_url(const std::string& command) const;
    // A request whose answer is read.
    FetchResult fetch(const std::string& command);
    // A request whose answer is not read.
    void send(const std::string& command);
    // The "title" answer without any CR or LF; nothing when the request failed.
    std::optional<std::string> fetch_title();

    RequestRunner& runner() { return runner_; }

private:
    const ClientSettings& settings_;
    RequestRunner& runner_;
    FetchLimits limits_;
};

}  // namespace dravo
