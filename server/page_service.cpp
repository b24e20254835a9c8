#include "page_service.h"

#include <algorithm>
#include <cstdlib>

#include "command_table.h"
#include "page_files.h"
#include "page_text.h"
#include "player_control.h"
#include "remote_protocol.h"
#include "server_settings.h"
#include "text.h"

namespace dravo {
namespace {

constexpr const char* kSecurityHeaders =
    "Content-Security-Policy: default-src 'none'; script-src 'self'; style-src 'self'; "
    "img-src 'self'; connect-src 'self'; manifest-src 'self'; frame-ancestors 'none'; "
    "base-uri 'none'; form-action 'none'\r\n"
    "X-Content-Type-Options: nosniff\r\n"
    "Referrer-Policy: no-referrer\r\n";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kNoStore = "Cache-Control: no-store\r\n";

std::string value_of(const QueryMap& query, std::string_view key) {
    auto found = query.find(std::string(key));
    return found == query.end() ? std::string() : url_decode(found->second);
}

bool accepts_gzip(const ParsedRequest& request) {
    const std::string* accepted = request.header("accept-encoding");
    return accepted && lower_case(*accepted).find("gzip") != std::string::npos;
}

}  // namespace

std::string page_answer(std::string_view status, std::string_view type, std::string_view body,
                        std::string_view extra) {
    std::string answer = "HTTP/1.0 ";
    answer.append(status).append("\r\nContent-Type: ").append(type);
    answer.append("\r\nContent-Length: ").append(std::to_string(body.size())).append("\r\n");
    answer.append(kSecurityHeaders).append(extra).append("\r\n").append(body);
    return answer;
}

void seek_with_fallback(PlayerControl& player, int target_ms) {
    if (player.jump_to_ms(std::max(target_ms, 0)) != 0) {
        return;  // not playing, or past the end
    }
    const int position = player.position_ms();
    if (position < 0 || std::abs(position - target_ms) < remote::kSeekStepMs / 2) {
        return;
    }
    const int steps =
        std::min((std::abs(target_ms - position) + remote::kSeekStepMs / 2) / remote::kSeekStepMs,
                 remote::kSeekStepsMax);
    for (int i = 0; i < steps; ++i) {
        target_ms > position ? player.forward_5s() : player.back_5s();
    }
}

PageService::PageService(CommandTable& table, PlayerControl& player, const ServerSettings& settings,
                         const MuteMemory& mute, PageLimits limits)
    : table_(table), player_(player),
      watch_([&player, &settings,
              &mute] { return read_page_state(player, settings.current_filter(), mute); },
             first_page_revision()),
      limits_(limits) {}

void PageService::note_command(const std::string& path) {
    // Questions change nothing; a flood of them must not cost a state reading each.
    for (std::string_view question : {remote::kStatus, remote::kGetFilter, remote::kGetPlaying,
                                      remote::kGetRepeat, remote::kGetShuffle, remote::kGetVolume,
                                      remote::kTitle, remote::kList, remote::kVersion}) {
        if (path == question) {
            return;
        }
    }
    watch_.mark_dirty();
}

bool PageService::is_file(const std::string& path) const { return find_page_file(path) != nullptr; }

bool PageService::is_api(const std::string& path) const {
    return path == remote::kApiState || path == remote::kApiWait || path == remote::kApiList ||
           path == remote::kApiSeek || path == remote::kApiFilter;
}

void PageService::send_file(const ParsedRequest& request, const SendText& send) const {
    const PageFile* file = find_page_file(request.path);
    if (!file) {
        return;
    }
    const std::string tag = "ETag: " + std::string(file->etag) + "\r\n";
    const std::string cache = "Cache-Control: no-cache\r\nVary: Accept-Encoding\r\n" + tag;
    if (const std::string* known = request.header("if-none-match"); known && *known == file->etag) {
        send(page_answer("304 Not Modified", file->content_type, {}, cache));
        return;
    }
    // A picture packs no smaller: it goes as it is.
    if (accepts_gzip(request) && file->gzip.size() < file->plain.size()) {
        send(page_answer("200 OK", file->content_type, file->gzip,
                         cache + "Content-Encoding: gzip\r\n"));
    } else {
        send(page_answer("200 OK", file->content_type, file->plain, cache));
    }
}

void PageService::send_api_head(const SendText& send) const {
    send(std::string("HTTP/1.0 200 OK\r\nContent-Type: ") + kJson + "\r\n" + kSecurityHeaders +
         kNoStore + "\r\n");
}

void PageService::send_refusal(const SendText& send) const {
    send(page_answer("403 Forbidden", "text/plain; charset=utf-8",
                     "A page of this server sends the X-Dravo-Remote header.\n", kNoStore));
}

std::optional<PageWait> PageService::run_api(const ParsedRequest& request, const SendText& send,
                                             Clock::time_point now) {
    const std::string& path = request.path;
    if (path == remote::kApiWait) {
        watch_.refresh_if_stale(now);  // a change since the page's last look is answered at once
        const std::string since = value_of(request.query, remote::kSinceKey);
        PageWait wait{std::strtoull(since.c_str(), nullptr, 10),
                      now + std::chrono::milliseconds(limits_.wait_ms)};
        if (!wait_over(wait, now)) {
            return wait;
        }
        send(wait_answer());
        return std::nullopt;
    }
    if (path == remote::kApiList) {
        send_list(request.query, send, now);
        return std::nullopt;
    }
    if (path == remote::kApiSeek) {
        seek(request.query);
    }
    if (path == remote::kApiFilter) {
        filter(request.query);
    }
    send_state(send, now);
    return std::nullopt;
}

std::string PageService::wait_answer() const {
    return page_answer("200 OK", kJson, watch_.json(), kNoStore);
}

void PageService::send_state(const SendText& send, Clock::time_point now) {
    watch_.refresh(now);
    send(wait_answer());
}

void PageService::send_list(const QueryMap& query, const SendText& send, Clock::time_point now) {
    watch_.refresh(now);
    index_.sync(player_, watch_.list_revision());
    const std::size_t offset = to_number(value_of(query, remote::kOffsetKey));
    const std::string count = value_of(query, remote::kCountKey);
    const std::size_t rows = count.empty() ? 100 : to_number(count);
    send(page_answer("200 OK", kJson,
                     index_.page_json(offset, rows, value_of(query, remote::kSearchKey)),
                     kNoStore));
}

void PageService::seek(const QueryMap& query) {
    const std::string ms = value_of(query, remote::kMillisecondsKey);
    if (ms.empty()) {
        return;
    }
    seek_with_fallback(player_,
                       static_cast<int>(std::min<std::uint32_t>(to_number(ms), 0x7fffffff)));
}

void PageService::filter(const QueryMap& query) {
    const std::string native = page_text_to_native(value_of(query, remote::kTextKey));
    QueryMap command{{std::string(remote::kFilterKey), url_encode(native)}};
    // The filter answers at once: nothing is ever deferred.
    table_.run(std::string(remote::kSetFilter), command, [](const std::string&) {}, {});
}

}  // namespace dravo
