#include "fetch.h"

#include <ostream>

#include "fetch_platform.h"

namespace dravo {

bool fetch_url(std::ostream& out, const std::string& url, std::uint32_t /*flags*/,
               const FetchLimits& limits) {
    const BodySink append = [&out](const char* data, std::size_t size) {
        try {
            out.write(data, static_cast<std::streamsize>(size));
            return static_cast<bool>(out);
        } catch (...) {
            return false;
        }
    };
    return http_get(url, limits, append) == FetchOutcome::complete;
}

bool request_url(const std::string& url, const FetchLimits& limits) {
    const BodySink drop = [](const char*, std::size_t) { return true; };
    return http_get(url, limits, drop) != FetchOutcome::failed;
}

}  // namespace dravo
