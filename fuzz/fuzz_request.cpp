// Request text into path and query pairs and the cross-site test, over arbitrary bytes, and the
// gathering of a request within the listener's 4095-byte limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "browser_guard.h"
#include "client_connection.h"
#include "client_policy.h"
#include "fuzz_check.h"
#include "request_parser.h"
#include "text.h"

namespace {

using dravo::ParsedRequest;

bool has_any(std::string_view text, std::string_view chars) {
    return text.find_first_of(chars) != std::string_view::npos;
}

bool contains(std::string_view text, std::string_view piece) {
    return text.find(piece) != std::string_view::npos;
}

// The one-line request that should parse back to the same path and pairs.
std::string rebuilt(const ParsedRequest& request) {
    std::string target = request.path;
    const char* separator = "?";
    for (const auto& [key, value] : request.query) {
        target += separator + key + "=" + value;
        separator = "&";
    }
    return "GET " + target + " HTTP/1.0\r\n\r\n";
}

// A browser's request never runs without the proof from a name of this machine, and one that
// bears no browser's mark is never stopped by the browser rule.
void check_browser_rule(const ParsedRequest& request, bool cross_site) {
    using Kind = dravo::BrowserVerdict::Kind;
    static const auto guard = dravo::BrowserGuard::from_settings("box", "dravo.lan");
    const auto verdict = guard.judge(request, "192.168.1.5", true);
    FUZZ_CHECK(verdict.why.empty() == (verdict.kind == Kind::run));
    const bool browser = !dravo::browser_mark(request).empty();
    if (!browser && !cross_site) {
        FUZZ_CHECK(verdict.kind == Kind::run);
    }
    if (browser && verdict.kind == Kind::run) {
        const std::string* host = request.header("host");
        FUZZ_CHECK(request.header("x-dravo-remote") && host &&
                   guard.names_this_machine(*host, "192.168.1.5"));
    }
}

void check_parse(std::string_view text) {
    const std::string_view head = text.substr(0, text.find('\0'));
    const ParsedRequest request = dravo::parse_request(text);
    {
        const ParsedRequest cut = dravo::parse_request(head);
        FUZZ_CHECK(cut.path == request.path && cut.query == request.query);
    }

    // Everything taken out is a piece of one word of the text before its zero byte.
    static constexpr std::string_view kWordEnds{" \t\r\n\0", 5};
    FUZZ_CHECK(contains(head, request.path));
    FUZZ_CHECK(!has_any(request.path, kWordEnds) && !contains(request.path, "?"));
    for (const auto& [key, value] : request.query) {
        FUZZ_CHECK(contains(head, key) && contains(head, value));
        FUZZ_CHECK(!has_any(key, kWordEnds) && !has_any(key, "=&"));
        FUZZ_CHECK(!has_any(value, kWordEnds) && !contains(value, "&"));
    }

    // Without a GET line there is neither path nor query; otherwise the result round-trips.
    if (!request.path.empty() || !request.query.empty()) {
        const ParsedRequest again = dravo::parse_request(rebuilt(request));
        FUZZ_CHECK(again.path == request.path);
        FUZZ_CHECK(again.query == request.query);
    }

    // The cross-site test reads the parsed header lines; every header name is lower-case.
    std::string why;
    const bool cross_site = dravo::is_cross_site(request, why);
    if (cross_site) {
        FUZZ_CHECK(!why.empty());
    }
    check_browser_rule(request, cross_site);
    for (const auto& [name, value] : request.headers) {
        FUZZ_CHECK(!name.empty() && dravo::lower_case(name) == name && !has_any(name, ":\n"));
    }

    // More bytes never make a complete request incomplete.
    if (dravo::request_complete(text.substr(0, text.size() / 2))) {
        FUZZ_CHECK(dravo::request_complete(text));
    }
}

// The listener's gathering without a socket: segments arrive, each receive takes at most the
// room left of the limit, and reading ends when the head is complete or the limit is reached.
std::string gather(std::string_view stream) {
    const std::size_t segment =
        stream.empty() ? 1 : 1 + static_cast<unsigned char>(stream[0]) * 29u;
    std::string in;
    std::size_t pos = 0;
    while (pos < stream.size() && in.size() < dravo::kRequestMax && !dravo::request_complete(in)) {
        const std::size_t room = dravo::kRequestMax - in.size();
        const std::size_t take = std::min({segment, room, stream.size() - pos});
        in.append(stream.substr(pos, take));
        pos += take;
    }
    FUZZ_CHECK(in.size() <= dravo::kRequestMax);
    if (pos < stream.size()) {
        FUZZ_CHECK(in.size() == dravo::kRequestMax || dravo::request_complete(in));
    }
    return in;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    check_parse(input);
    const std::string gathered = gather(input);
    if (gathered.size() < input.size()) {
        check_parse(gathered);
    }
    return 0;
}
