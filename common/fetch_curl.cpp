#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "fetch_platform.h"

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

// Called from C; the sink may not throw. Returning less than size aborts the transfer.
std::size_t to_sink(char* data, std::size_t size, std::size_t count, void* user) {
    const std::size_t bytes = size * count;
    return (*static_cast<const BodySink*>(user))(data, bytes) ? bytes : 0;
}

}  // namespace

FetchOutcome http_get(const std::string& url, const FetchLimits& limits, const BodySink& sink) {
    initialise_curl_once();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!easy || !headers) {
        return FetchOutcome::failed;
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
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, to_sink);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, const_cast<BodySink*>(&sink));
    const CURLcode result = curl_easy_perform(handle);
    if (result == CURLE_OK) {
        return FetchOutcome::complete;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status != 0 ? FetchOutcome::answered : FetchOutcome::failed;
}

}  // namespace dravo
