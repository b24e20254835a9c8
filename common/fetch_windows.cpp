// fetch_url and request_url on WinInet: the system's proxy settings, no local cache. WinInet has
// no limit for a whole transfer, so the read loop keeps the total limit itself.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <ostream>

#include "fetch.h"

namespace dravo {
namespace {

using Clock = std::chrono::steady_clock;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() {
        if (handle_) {
            InternetCloseHandle(handle_);
        }
    }
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

bool is_web_url(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

void set_timeout(HINTERNET handle, DWORD option, std::chrono::milliseconds limit) {
    DWORD value = static_cast<DWORD>(limit.count() > 0 ? limit.count() : 1);
    InternetSetOptionA(handle, option, &value, sizeof value);
}

DWORD remaining_ms(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

enum class Outcome { failed, answered, complete };

// Opens url and hands every piece of the body to sink (a null sink drops it). sink returns false
// to stop.
template <class Sink>
Outcome perform_get(const std::string& url, std::uint32_t flags, const FetchLimits& limits,
                    Sink sink) {
    if (!is_web_url(url)) {
        return Outcome::failed;
    }
    const auto deadline = Clock::now() + limits.total;
    InternetHandle session(
        InternetOpenA("dravo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get()) {
        return Outcome::failed;
    }
    set_timeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, limits.connect);
    set_timeout(session.get(), INTERNET_OPTION_SEND_TIMEOUT, limits.total);
    set_timeout(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, limits.total);
    static const char kHeaders[] = "Cache-Control: no-cache\r\n";
    const DWORD open_flags =
        (flags & (INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_TRANSFER_BINARY)) |
        INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI |
        INTERNET_FLAG_NO_COOKIES;
    InternetHandle file(InternetOpenUrlA(session.get(), url.c_str(), kHeaders,
                                         static_cast<DWORD>(sizeof kHeaders - 1), open_flags, 1));
    if (!file.get()) {
        return Outcome::failed;
    }
    char buffer[4096];
    for (;;) {
        const DWORD left = remaining_ms(deadline);
        if (left == 0) {
            return Outcome::answered;
        }
        set_timeout(file.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, std::chrono::milliseconds(left));
        DWORD got = 0;
        if (!InternetReadFile(file.get(), buffer, sizeof buffer, &got)) {
            return Outcome::answered;
        }
        if (got == 0) {
            return Outcome::complete;
        }
        if (!sink(buffer, got)) {
            return Outcome::answered;
        }
    }
}

}  // namespace

bool fetch_url(std::ostream& out, const std::string& url, std::uint32_t flags,
               const FetchLimits& limits) {
    auto append = [&out](const char* data, DWORD size) {
        try {
            out.write(data, static_cast<std::streamsize>(size));
            return static_cast<bool>(out);
        } catch (...) {
            return false;
        }
    };
    return perform_get(url, flags, limits, append) == Outcome::complete;
}

bool request_url(const std::string& url, const FetchLimits& limits) {
    auto drop = [](const char*, DWORD) { return true; };
    return perform_get(url, kTransferAscii, limits, drop) != Outcome::failed;
}

}  // namespace dravo
