#pragma once
// The one GET each platform implements (libcurl, WinInet); fetch.cpp builds the public calls on
// it. Same threading as fetch.h.
#include <cstddef>
#include <functional>
#include <string>

#include "fetch.h"

namespace dravo {

enum class FetchOutcome {
    failed,    // no answer: bad URL, no connection, nothing before a limit ran out
    answered,  // the status line and headers came, the body did not arrive whole
    complete,  // the body arrived to its end
};

// Takes each piece of the body; false stops the transfer. May not throw.
using BodySink = std::function<bool(const char* data, std::size_t size)>;

FetchOutcome http_get(const std::string& url, const FetchLimits& limits, const BodySink& sink);

}  // namespace dravo
