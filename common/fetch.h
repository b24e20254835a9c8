#pragma once
// One blocking HTTP(S) GET of a full URL. Every call uses its own connection; nothing is cached
// locally and "Cache-Control: no-cache" asks proxies not to answer from theirs. Proxies come from
// the usual environment variables (http_proxy, https_proxy, no_proxy) with libcurl, from the
// system's settings with WinInet on Windows. Redirects are followed between http and https
// (at most 5 with libcurl, WinInet's own limit on Windows); one to another scheme fails the
// fetch. https certificates are checked against the system's store.
// Any other HTTP status counts as an answer: a 404 page is a body like any other.
// Safe to call from any thread; calls share no state. The calling thread blocks until the
// transfer ends, a limit below runs out or its cancel flag is set.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace dravo {

// Request flags callers pass for the kind of transfer; HTTP ignores them, so they only document
// intent (ASCII for server commands, binary for downloads).
inline constexpr std::uint32_t kTransferAscii = 0x1;
inline constexpr std::uint32_t kTransferBinary = 0x2;

// How often a transfer with a cancel flag looks at it.
inline constexpr std::chrono::milliseconds kFetchCancelCheck{50};

struct FetchLimits {
    std::chrono::milliseconds connect{5000};  // to establish the connection
    std::chrono::milliseconds total{30000};   // for the whole transfer, connection included
    // When not null: once another thread sets the flag, the transfer ends within about
    // kFetchCancelCheck as if a limit had run out. The flag must outlive the call.
    const std::atomic<bool>* cancel = nullptr;
};

// Appends the body to out at its current write position (zero bytes included); out is neither
// cleared nor rewound. True when the answer was read to its end; false when the URL could not be
// opened, the transfer broke off, a limit ran out or out refused the bytes. Bytes appended before
// a failure stay in out.
bool fetch_url(std::ostream& out, const std::string& url, std::uint32_t flags,
               const FetchLimits& limits = {});

// Sends the request and reads and discards the answer, so that the server never sees its
// connection reset in the middle of writing. True when an answer (its status line and headers)
// arrived, even if the body broke off afterwards; false otherwise.
bool request_url(const std::string& url, const FetchLimits& limits = {});

// Sends "HEAD" for the URL as HTTP/1.0 and gives the answer's Content-Type (empty when it names
// none); nothing when no answer came. Redirects are not followed.
std::optional<std::string> head_content_type(const std::string& url,
                                             const FetchLimits& limits = {});

}  // namespace dravo
