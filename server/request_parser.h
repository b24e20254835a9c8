#pragma once
// Takes the path and query pairs out of the text of one HTTP request. Pure functions.
#include <string>
#include <string_view>

#include "request.h"

namespace dravo {

// True once the text holds the empty line that ends the request head (CR LF or bare LF ends).
bool request_complete(std::string_view text);

// Every line whose first word is "GET" is parsed in turn: its next word (or "GET" when there is
// none) is the target; the last one's path wins and all query pairs land in the map, a later
// pair replacing an earlier one with the same key. A "HEAD target" line gives only head_path
// (the target without its query). Nothing is decoded. Every line of the form
// "Name: value" gives a header (name lower-cased, value trimmed; the first line of a name wins).
// The text ends at its first zero byte, as the request buffer is a zero-terminated string.
ParsedRequest parse_request(std::string_view text);

}  // namespace dravo
