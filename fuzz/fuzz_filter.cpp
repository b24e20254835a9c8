// The track filter's text handling over arbitrary bytes: percent-decoding, split_tokens and
// matches. Input: the raw filter value, a zero byte, then a subject.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "text.h"
#include "track_filter.h"

namespace {

using dravo::TrackFilter;
using Tokens = std::vector<std::string>;

std::string percent_encode(std::string_view bytes, const char* digits) {
    std::string out;
    for (unsigned char c : bytes) {
        out += '%';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void check_decode(const std::string& raw, const std::string& decoded) {
    FUZZ_CHECK(decoded.size() <= raw.size());
    if (raw.find('%') == std::string::npos) {
        FUZZ_CHECK(decoded == raw);
    }
    // Every byte survives an encoding with either case of hex digits.
    FUZZ_CHECK(dravo::percent_decode_lenient(percent_encode(decoded, "0123456789ABCDEF")) ==
               decoded);
    FUZZ_CHECK(dravo::percent_decode_lenient(percent_encode(decoded, "0123456789abcdef")) ==
               decoded);
}

void check_tokens(const std::string& text, const Tokens& tokens) {
    std::size_t total = 0;
    for (const auto& token : tokens) {
        FUZZ_CHECK(!token.empty());
        FUZZ_CHECK(token.find('"') == std::string::npos);
        FUZZ_CHECK(dravo::lower_case(token) == token);
        if (text.find('"') == std::string::npos) {
            FUZZ_CHECK(token.find(' ') == std::string::npos);
        }
        total += token.size();
    }
    FUZZ_CHECK(total <= text.size());
    // Each token quoted and the quoted tokens joined by blanks split back into the same list.
    std::string quoted;
    for (const auto& token : tokens) {
        quoted += "\"" + token + "\" ";
    }
    FUZZ_CHECK(TrackFilter::split_tokens(quoted) == tokens);
}

bool narrows(const std::string& token) { return token[0] == '+' || token[0] == '-'; }

void check_matches(const std::string& subject, const Tokens& tokens) {
    const bool taken = TrackFilter::matches(subject, tokens);
    if (tokens.empty()) {
        FUZZ_CHECK(taken);
    }
    if (!tokens.empty() && std::all_of(tokens.begin(), tokens.end(), narrows)) {
        FUZZ_CHECK(!taken);
    }

    Tokens reversed(tokens.rbegin(), tokens.rend());
    FUZZ_CHECK(TrackFilter::matches(subject, reversed) == taken);

    Tokens with_all = tokens;
    with_all.push_back("*");
    if (taken) {
        FUZZ_CHECK(TrackFilter::matches(subject, with_all));
    }

    Tokens rejecting = tokens;
    rejecting.push_back("-" + subject);
    FUZZ_CHECK(!TrackFilter::matches(subject, rejecting));

    if (!tokens.empty()) {
        Tokens requiring = tokens;
        requiring.push_back("+" + subject);
        FUZZ_CHECK(TrackFilter::matches(subject, requiring) == taken);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string raw = input.substr(0, zero);
    const std::string subject =
        zero == std::string::npos ? std::string() : dravo::lower_case(input.substr(zero + 1));

    const std::string decoded = dravo::percent_decode_lenient(raw);
    check_decode(raw, decoded);
    const Tokens tokens = TrackFilter::split_tokens(decoded);
    check_tokens(decoded, tokens);
    check_matches(subject, tokens);
    return 0;
}
