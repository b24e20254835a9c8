// fetch_url, request_url and head_content_type on WinInet: the system's proxy settings, no local
// cache. WinInet keeps neither a limit for a whole transfer nor, reliably, its own time-outs, so a
// watchdog closes the session at the deadline or when the cancel flag is set, which ends any call
// still blocked in it.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "fetch_platform.h"

namespace dravo {
namespace {

using Clock = std::chrono::steady_clock;

// Closes the session at the deadline, or once the cancel flag (may be null) is set, unless the
// transfer ended first. Closing a session from another thread is WinInet's way to cancel its
// blocking calls.
class Watchdog {
public:
    Watchdog(HINTERNET session, Clock::time_point deadline, const std::atomic<bool>* cancel)
        : thread_([this, session, deadline, cancel] {
              std::unique_lock lock(mutex_);
              while (!finished_) {
                  const auto now = Clock::now();
                  if (now >= deadline || (cancel != nullptr && cancel->load())) {
                      InternetCloseHandle(session);
                      fired_ = true;
                      return;
                  }
                  done_.wait_until(lock, cancel != nullptr
                                             ? std::min(deadline, now + kFetchCancelCheck)
                                             : deadline);
              }
          }) {}
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    // True when the watchdog closed the session.
    bool finish() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
        return fired_;
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool fired_ = false;
    std::thread thread_;
};

void set_timeout(HINTERNET handle, DWORD option, std::chrono::milliseconds limit) {
    DWORD value = static_cast<DWORD>(limit.count() > 0 ? limit.count() : 1);
    InternetSetOptionA(handle, option, &value, sizeof value);
}

DWORD remaining_ms(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

// A number from the answer's head, or -1 when it has none.
long long query_number(HINTERNET file, DWORD what) {
    DWORD value = 0;
    DWORD size = sizeof value;
    // Widened before the choice: DWORD against -1 would make a missing number 4294967295.
    return HttpQueryInfoA(file, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)
               ? static_cast<long long>(value)
               : -1;
}

// Reads the body of an opened url into sink until its end, a failure or the deadline.
FetchOutcome read_body(HINTERNET file, Clock::time_point deadline, const BodySink& sink) {
    // A redirect WinInet would not follow (to another scheme) is not the document.
    const long long status = query_number(file, HTTP_QUERY_STATUS_CODE);
    if (status >= 300 && status < 400) {
        return FetchOutcome::answered;
    }
    const long long announced = query_number(file, HTTP_QUERY_CONTENT_LENGTH);
    long long received = 0;
    char buffer[4096];
    for (;;) {
        const DWORD left = remaining_ms(deadline);
        if (left == 0) {
            return FetchOutcome::answered;
        }
        set_timeout(file, INTERNET_OPTION_RECEIVE_TIMEOUT, std::chrono::milliseconds(left));
        DWORD got = 0;
        if (!InternetReadFile(file, buffer, sizeof buffer, &got)) {
            return FetchOutcome::answered;
        }
        if (got == 0) {
            // WinInet reports a connection closed early as a normal end.
            return announced < 0 || received == announced ? FetchOutcome::complete
                                                          : FetchOutcome::answered;
        }
        received += got;
        if (!sink(buffer, got)) {
            return FetchOutcome::answered;
        }
    }
}

struct UrlParts {
    std::string host, target;  // target: path and query
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool crack_url(const std::string& url, UrlParts& parts) {
    char host[256] = {}, path[2048] = {}, extra[2048] = {};
    URL_COMPONENTSA c{};
    c.dwStructSize = sizeof c;
    c.lpszHostName = host;
    c.dwHostNameLength = sizeof host;
    c.lpszUrlPath = path;
    c.dwUrlPathLength = sizeof path;
    c.lpszExtraInfo = extra;
    c.dwExtraInfoLength = sizeof extra;
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &c) ||
        (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS)) {
        return false;
    }
    parts.host = host;
    parts.target = std::string(path[0] ? path : "/") + extra;
    parts.port = c.nPort;
    parts.secure = c.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

// Opens and sends one request; null when that failed. The time-outs go on the request itself,
// where every WinInet honours them. The handles close with the session.
HINTERNET send_request(HINTERNET session, const UrlParts& url, const char* verb,
                       const char* version, const FetchLimits& limits) {
    HINTERNET connection = InternetConnectA(session, url.host.c_str(), url.port, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) {
        return nullptr;
    }
    const DWORD request_flags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_NO_UI |
        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
        INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS | (url.secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(connection, verb, url.target.c_str(), version, nullptr,
                                         nullptr, request_flags, 0);
    if (!request) {
        return nullptr;
    }
    set_timeout(request, INTERNET_OPTION_CONNECT_TIMEOUT, limits.connect);
    set_timeout(request, INTERNET_OPTION_SEND_TIMEOUT, limits.total);
    set_timeout(request, INTERNET_OPTION_RECEIVE_TIMEOUT, limits.total);
    static const char kHeaders[] = "Cache-Control: no-cache\r\n";
    if (!HttpSendRequestA(request, kHeaders, static_cast<DWORD>(sizeof kHeaders - 1), nullptr, 0)) {
        return nullptr;
    }
    return request;
}

// Runs transfer on a session of its own under the watchdog; nothing when no session or no
// watchdog could be had. fired tells whether the watchdog ended it.
template <class Transfer>
auto with_session(const FetchLimits& limits, Clock::time_point deadline, bool& fired,
                  Transfer transfer) -> std::optional<decltype(transfer(HINTERNET{}))> {
    HINTERNET session = InternetOpenA("dravo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) {
        return std::nullopt;
    }
    std::optional<Watchdog> watchdog;
    try {
        watchdog.emplace(session, deadline, limits.cancel);
    } catch (...) {  // no thread to spare: no transfer without its limit
        InternetCloseHandle(session);
        return std::nullopt;
    }
    auto result = transfer(session);
    fired = watchdog->finish();
    if (!fired) {
        InternetCloseHandle(session);  // and the connection and request with it
    }
    return result;
}

// The Content-Type of an answer, empty when it names none.
std::string content_type(HINTERNET request) {
    char type[256] = {};
    DWORD size = sizeof type - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr)) {
        return {};
    }
    return std::string(type, size);
}

}  // namespace

FetchOutcome http_get(const std::string& url, const FetchLimits& limits, const BodySink& sink) {
    UrlParts parts;
    if (!crack_url(url, parts)) {
        return FetchOutcome::failed;
    }
    const auto deadline = Clock::now() + limits.total;
    bool fired = false;
    const auto outcome = with_session(limits, deadline, fired, [&](HINTERNET session) {
        HINTERNET request = send_request(session, parts, "GET", nullptr, limits);
        return request ? read_body(request, deadline, sink) : FetchOutcome::failed;
    });
    if (!outcome) {
        return FetchOutcome::failed;
    }
    return fired && *outcome == FetchOutcome::complete ? FetchOutcome::answered : *outcome;
}

std::optional<std::string> head_content_type(const std::string& url, const FetchLimits& limits) {
    UrlParts parts;
    if (!crack_url(url, parts)) {
        return std::nullopt;
    }
    bool fired = false;
    // An old server reads only GET lines and HTTP/1.0 headers.
    auto type = with_session(
        limits, Clock::now() + limits.total, fired,
        [&](HINTERNET session) -> std::optional<std::string> {
            HINTERNET request = send_request(session, parts, "HEAD", "HTTP/1.0", limits);
            return request ? std::optional(content_type(request)) : std::nullopt;
        });
    if (!type || fired) {
        return std::nullopt;
    }
    return *type;
}

}  // namespace dravo
