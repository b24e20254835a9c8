#pragma once
// Takes the path and query pairs out of the text of one HTTP request. Pure functions.
#include <string>
#include <string_view>

#include "command_table.h"

namespace dravo {

struct ParsedRequest {
    std::string path;
    QueryMap query;
};

// True once the text holds the empty line that ends the request head (CR LF or bare LF ends).
bool request_complete(std::string_view text);

// Every line whose first word is "GET" is parsed in turn: its next word (or "GET" when there is
// none) is the target; the last one's path wins and all query pairs land in the map, a later
// pair replacing an earlier one with the same key. Nothing is decoded. The text ends at its first
// zero byte, as the request buffer is a zero-terminated string.
ParsedRequest parse_request(std::string_view text);

}  // namespace dravo
