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
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

bool cancelled(const FetchLimits& limits) {
    return limits.cancel != nullptr && limits.cancel->load();
}

// Runs the prepared transfer to its end, a limit or the cancel flag: curl's result, or
// CURLE_ABORTED_BY_CALLBACK when cancelled. The multi interface, as curl_easy_perform may sit a
// whole second between looks at a progress callback.
CURLcode perform(CURL* easy, const FetchLimits& limits) {
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    // Without a flag to watch the wait ends only on traffic or curl's own timers.
    const int wait_ms =
        limits.cancel != nullptr ? static_cast<int>(kFetchCancelCheck.count()) : 1000;
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    for (int running = 1; running != 0 && !cancelled(limits);) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running != 0) {
            curl_multi_poll(multi.get(), nullptr, 0, wait_ms, nullptr);
        }
    }
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
        if (message->msg == CURLMSG_DONE) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

// Called from C; the sink may not throw. Returning less than size aborts the transfer.
std::size_t to_sink(char* data, std::size_t size, std::size_t count, void* user) {
    const std::size_t bytes = size * count;
    return (*static_cast<const BodySink*>(user))(data, bytes) ? bytes : 0;
}

void set_common_options(CURL* handle, const std::string& url, const FetchLimits& limits) {
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()));
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
}

}  // namespace

std::optional<std::string> head_content_type(const std::string& url, const FetchLimits& limits) {
    initialise_curl_once();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        return std::nullopt;
    }
    CURL* handle = easy.get();
    set_common_options(handle, url, limits);
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    // An old server reads only GET lines and HTTP/1.0 headers.
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    if (perform(handle, limits) != CURLE_OK) {
        return std::nullopt;
    }
    const char* type = nullptr;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &type);
    return std::string(type ? type : "");
}

FetchOutcome http_get(const std::string& url, const FetchLimits& limits, const BodySink& sink) {
    initialise_curl_once();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!easy || !headers) {
        return FetchOutcome::failed;
    }
    CURL* handle = easy.get();
    set_common_options(handle, url, limits);
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, to_sink);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, const_cast<BodySink*>(&sink));
    const CURLcode result = perform(handle, limits);
    if (result == CURLE_OK) {
        return FetchOutcome::complete;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status != 0 ? FetchOutcome::answered : FetchOutcome::failed;
}

}  // namespace dravo
