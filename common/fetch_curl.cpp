#include "fetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <ostream>

namespace dravo {
namespace {

void initialise_curl_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Called from C: no exception may leave it. Returning less than size aborts the transfer.
std::size_t append_to_stream(char* data, std::size_t size, std::size_t count, void* user) {
    auto& out = *static_cast<std::ostream*>(user);
    const std::size_t bytes = size * count;
    try {
        out.write(data, static_cast<std::streamsize>(bytes));
        return out ? bytes : 0;
    } catch (...) {
        return 0;
    }
}

std::size_t discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

enum class Outcome { failed, answered, complete };

Outcome perform_get(const std::string& url, const FetchLimits& limits, curl_write_callback write,
                    void* user) {
    initialise_curl_once();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!easy || !headers) {
        return Outcome::failed;
    }
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()));
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, user);
    const CURLcode result = curl_easy_perform(handle);
    if (result == CURLE_OK) {
        return Outcome::complete;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status != 0 ? Outcome::answered : Outcome::failed;
}

}  // namespace

bool fetch_url(std::ostream& out, const std::string& url, std::uint32_t /*flags*/,
               const FetchLimits& limits) {
    return perform_get(url, limits, append_to_stream, &out) == Outcome::complete;
}

bool request_url(const std::string& url, const FetchLimits& limits) {
    return perform_get(url, limits, discard, nullptr) != Outcome::failed;
}

}  // namespace dravo
