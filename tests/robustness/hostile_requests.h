#pragma once
// Malformed and hostile requests for the robustness test, each with the way its client ends the
// connection and the answer it must get.
#include <optional>
#include <random>
#include <string>

namespace dravo::test {

enum class Ending {
    wait,        // keeps its sending side open and reads until the server closes
    half_close,  // ends its sending side, then reads until the server closes
    close,       // closes after sending without reading
    reset,       // aborts the connection: the server's next receive fails
};

enum class Check {
    exact,         // the answer is `answer`
    header_first,  // the answer begins with the response header
    none,          // the server may have closed before taking everything: not checked
};

struct HostileRequest {
    const char* kind = "";
    std::string bytes;
    Ending ending = Ending::half_close;
    Check check = Check::none;
    std::string answer;
    std::optional<std::string> raw_filter;  // set for /set_filter: the value as sent
};

inline constexpr int kHostileKinds = 18;

// The i-th request; kinds rotate with i, contents come from rng. current_filter is the filter
// text the server holds, which /get_filter answers.
HostileRequest hostile_request(int i, std::mt19937& rng, const std::string& current_filter);

// Sends the request over a fresh loopback connection and ends it as asked. What came back
// (empty for close and reset); nullopt when no connection could be made.
std::optional<std::string> send_hostile(int port, const HostileRequest& request);

}  // namespace dravo::test
