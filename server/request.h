#pragma once
// One HTTP request as the command server understands it, and the sink its answer goes to.
// Plain values: any thread may hold one; the listener thread makes them.
#include <functional>
#include <map>
#include <string>

namespace dravo {

// Query pairs by key, undecoded.
using QueryMap = std::map<std::string, std::string>;
// Header values by lower-cased name (the first line of each name), trimmed.
using HeaderMap = std::map<std::string, std::string>;
// Takes one piece of the answer body; the answer's connection is behind it.
using SendText = std::function<void(const std::string&)>;

struct ParsedRequest {
    std::string path;
    // The path of the last HEAD line: only API paths are answered (headers alone); every other
    // HEAD, like any request without a GET line, gets the plain header.
    std::string head_path;
    QueryMap query;
    HeaderMap headers;

    // The value of the header with this lower-case name, or null.
    const std::string* header(const std::string& lower_name) const {
        auto found = headers.find(lower_name);
        return found == headers.end() ? nullptr : &found->second;
    }
};

}  // namespace dravo
