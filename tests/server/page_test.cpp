// The browser page's server side: text between code page and UTF-8, the change rule, the
// playlist's pages and search, the seek fallback, and the page and API over a real socket
// (files, the browser rule, long-polls and their limits).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "loopback_client.h"
#include "national_letters.h"
#include "page_files.h"
#include "page_service.h"
#include "page_state.h"
#include "page_text.h"
#include "playlist_index.h"
#include "server_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

TEST(PageText, CarriesNamesIntoUtf8AndFoldsThemForSearching) {
    // Windows-1252 bytes (not UTF-8) read the same on both platforms.
    struct Case {
        std::string in, utf8, folded;
    } cases[] = {
        {"plain.mp3", "plain.mp3", "plain.mp3"},
        {"\xC4 dag \x80.mp3", "\xC3\x84 dag \xE2\x82\xAC.mp3", "\xC3\xA4 dag \xE2\x82\xAC.mp3"},
        {"\xD7\xC5\x9F", "\xC3\x97\xC3\x85\xC5\xB8", "\xC3\x97\xC3\xA5\xC5\xB8"},  // × stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(page_text_to_utf8(c.in), c.utf8) << c.in;
        EXPECT_EQ(utf8_from_cp1252(c.in), c.utf8) << c.in;
        EXPECT_EQ(fold_case_utf8(c.utf8), c.folded) << c.in;
    }
    EXPECT_EQ(page_text_to_native("plain"), "plain");
    EXPECT_TRUE(is_valid_utf8("\xC3\x84r \xE2\x82\xAC"));
    for (const char* bad : {"\xED\xA0\x80", "half \xE2\x82", "\xC0\xAF", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(is_valid_utf8(bad)) << bad;
    }
}

TEST(PageState, TheRunningPositionIsNoChangeButAJumpIs) {
    PageState playing;
    playing.play_state = 1;
    playing.position_ms = 10000;
    playing.length_s = 200;
    struct Case {
        const char* what;
        void (*change)(PageState&);
        int elapsed_ms;
        bool changed;
    } cases[] = {
        {"ran on", [](PageState& s) { s.position_ms = 11000; }, 1000, false},
        {"jumped ahead", [](PageState& s) { s.position_ms = 60000; }, 1000, true},
        {"jumped back", [](PageState& s) { s.position_ms = 2000; }, 50, true},
        {"stopped",
         [](PageState& s) {
             s.play_state = 0;
             s.position_ms = -1;
         },
         50, true},
        {"volume", [](PageState& s) { s.volume = 7; }, 50, true},
        {"same length, other list", [](PageState& s) { s.list_mark = "x"; }, 50, true},
        {"filter", [](PageState& s) { s.filter = "jazz"; }, 50, true},
    };
    for (const auto& c : cases) {
        PageState after = playing;
        c.change(after);
        EXPECT_EQ(page_state_changed(playing, after, c.elapsed_ms), c.changed) << c.what;
    }
}

TEST(PlaylistIndex, PagesAndSearchesByEveryWordIgnoringCase) {
    FakeHost host;
    // The host's names are in the platform's 8-bit text; the page's answers in UTF-8.
    const std::string upper_a = national_letters().upper_a_diaeresis;
    host.files = {"/m/Jazz/Blue Note.mp3", "/m/Rock/Loud.wav", "/m/Jazz/Live at home.ogg",
                  "/m/V" + upper_a + "RLD/" + upper_a + " dag.mp3"};
    PlayerControl player(host);
    PlaylistIndex index;
    index.sync(player, 1);
    struct Case {
        std::size_t offset, count;
        std::string search, json;
    } cases[] = {
        {0, 2, "",
         R"("items":[[0,"/m/Jazz/Blue Note.mp3"],[1,"/m/Rock/Loud.wav"]],"list_rev":1,"matches":4,"offset":0,"total":4})"},
        {1, 5, "JAZZ",
         R"("items":[[2,"/m/Jazz/Live at home.ogg"]],"list_rev":1,"matches":2,"offset":1,"total":4})"},
        {0, 5, "jazz  note",
         R"("items":[[0,"/m/Jazz/Blue Note.mp3"]],"list_rev":1,"matches":1,"offset":0,"total":4})"},
        {0, 5, "\xC3\xA4 dag", "\"items\":[[3,\"/m/V\xC3\x84RLD/\xC3\x84 dag.mp3\"]]"},
        {9, 5, "", R"("items":[],"list_rev":1,"matches":4,"offset":9,"total":4})"},
    };
    for (const auto& c : cases) {
        const std::string json = index.page_json(c.offset, c.count, c.search);
        EXPECT_NE(json.find(c.json), std::string::npos) << c.search << ": " << json;
    }
    const std::size_t reads = host.messages().size();
    index.sync(player, 1);
    EXPECT_EQ(host.messages().size(), reads) << "the same revision is not read again";
}

TEST(PageSeek, JumpsWithTheHostsMessageElseStepsFiveSeconds) {
    struct Case {
        bool host_jumps;
        int from_ms, to_ms;
        std::size_t forward, back;
    } cases[] = {
        {true, 10000, 95000, 0, 0},
        {false, 10000, 31000, 4, 0},
        {false, 60000, 20000, 0, 8},
        {false, 10000, 11000, 0, 0},  // within half a step: nothing to do
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.play_state = 1;
        host.position_ms = c.from_ms;
        if (c.host_jumps) {
            host.on_send = [&host](const Message& m) {
                if (m.message == msg::user && m.lparam == op::jump_to_time) {
                    host.position_ms = static_cast<int>(m.wparam);
                }
            };
        }
        PlayerControl player(host);
        seek_with_fallback(player, c.to_ms);
        std::size_t forward = 0, back = 0;
        for (const auto& m : host.messages()) {
            forward += m == button_msg(button::forward_5s);
            back += m == button_msg(button::back_5s);
        }
        EXPECT_EQ(forward, c.forward) << c.from_ms << " to " << c.to_ms;
        EXPECT_EQ(back, c.back) << c.from_ms << " to " << c.to_ms;
    }
}

TEST(PageFiles, TheWholePageIsAtMostThirtyKilobytesCompressed) {
    std::size_t total = 0;
    for (const char* path : {"/", "/app.css", "/app.js", "/lib/api.js", "/lib/format.js",
                             "/lib/history.js", "/lib/paging.js", "/lib/state.js", "/lib/view.js",
                             "/icon.svg", "/icon.png", "/manifest.webmanifest"}) {
        const PageFile* file = find_page_file(path);
        ASSERT_NE(file, nullptr) << path;
        total += std::min(file->gzip.size(), file->plain.size());
    }
    EXPECT_LE(total, 30u * 1024);
    EXPECT_EQ(find_page_file("/package.json"), nullptr);
    EXPECT_EQ(find_page_file("/lib/"), nullptr);
}

// A request sent now whose answer is read later.
class Pending {
public:
    Pending(int port, const std::string& target) : connection_(connect_loopback(port, 5000)) {
        const std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
        if (connection_) {
            connection_->send(request.data(), request.size());
        }
    }
    bool answered_within(int ms) { return connection_ && connection_->wait_readable(ms); }
    void hang_up() { connection_.reset(); }
    std::string answer() {
        std::string text;
        char buffer[4096];
        while (connection_ && connection_->wait_readable(5000)) {
            long n = connection_->receive(buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

private:
    std::optional<net::Connection> connection_;
};

std::string body_of(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

std::string revision_of(const std::string& json) {
    const auto at = json.find("\"rev\":");
    return json.substr(at + 6, json.find_first_of(",}", at) - at - 6);
}

class PageServer : public ::testing::Test {
protected:
    PageLimits limits{2, 1500};
    ServerLimits server_limits;
    std::unique_ptr<ServerFixture> server;
    void start() {
        server = std::make_unique<ServerFixture>(server_limits, ClientPolicy{},
                                                 BrowserGuard::from_settings("", ""), limits);
        server->host.files = {"/m/a.mp3", "/m/b.mp3"};
        server->host.messages();  // through the fake's lock, so the listener sees the files
    }
    std::string revision() { return revision_of(body_of(*get(server->port(), "/api/state"))); }
};

TEST_F(PageServer, ServesThePageAndTheBrowsersOwnPathsWithoutANotice) {
    start();
    for (const char* path : {"/", "/app.js", "/lib/format.js", "/favicon.ico",
                             "/manifest.webmanifest", "/apple-touch-icon.png", "/robots.txt"}) {
        const auto plain =
            send_request(server->port(), std::string("GET ") + path +
                                             " HTTP/1.1\r\nUser-Agent: Mozilla/5.0\r\n\r\n");
        ASSERT_TRUE(plain) << path;
        EXPECT_EQ(plain->rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << path;
        EXPECT_NE(plain->find("default-src 'none'"), std::string::npos) << path;
        EXPECT_NE(plain->find("X-Content-Type-Options: nosniff\r\n"), std::string::npos) << path;
        const auto packed =
            send_request(server->port(), std::string("GET ") + path +
                                             " HTTP/1.1\r\nAccept-Encoding: gzip, br\r\n\r\n");
        // The page and its code pack smaller; the icon and a tiny file go as they are.
        const std::string_view name(path);
        const bool packs = name == "/" || name.ends_with(".js") || name.ends_with(".webmanifest");
        EXPECT_EQ(packed->find("Content-Encoding: gzip\r\n") != std::string::npos, packs) << path;
        EXPECT_EQ(body_of(*packed).substr(0, 2) == "\x1f\x8b", packs) << path;
    }
    EXPECT_EQ(body_of(*get(server->port(), "/")).find("<!DOCTYPE html>"), 0u);
    EXPECT_TRUE(server->host.boxes().empty());
}

TEST_F(PageServer, TheApiNeedsTheProofFromABrowserButNotFromPrograms) {
    start();
    const std::string browser =
        "GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Mozilla/5.0\r\n";
    EXPECT_EQ(send_request(server->port(), browser + "\r\n")->rfind("HTTP/1.0 403", 0), 0u);
    EXPECT_EQ(send_request(server->port(), browser + "X-Dravo-Remote: 1\r\n\r\n")
                  ->rfind("HTTP/1.0 200", 0),
              0u);
    EXPECT_NE(get(server->port(), "/api/state")->find("\"count\":2"), std::string::npos);
    EXPECT_NE(server->log_text().find("Refused cross-site request for /api/state"),
              std::string::npos);
    // The commands' answers are as they were.
    EXPECT_EQ(get(server->port(), "/version"), header_bytes() + "dravo_srv v1.14");
}

TEST_F(PageServer, ALongPollIsAnsweredOnAChangeOrAtItsTimeLimit) {
    start();
    const std::string seen = revision();
    Pending stale(server->port(), "/api/wait?since=1");
    EXPECT_TRUE(stale.answered_within(1000))
        << "a page that saw an older state is answered at once";
    Pending waiting(server->port(), "/api/wait?since=" + seen);
    EXPECT_FALSE(waiting.answered_within(300));
    get(server->port(), "/volume?volume=40");
    ASSERT_TRUE(waiting.answered_within(2000));
    const std::string body = body_of(waiting.answer());
    EXPECT_NE(body.find("\"volume\":40"), std::string::npos) << body;
    EXPECT_NE(revision_of(body), seen);
    Pending idle(server->port(), "/api/wait?since=" + revision_of(body));
    EXPECT_FALSE(idle.answered_within(500));
    EXPECT_TRUE(idle.answered_within(3000)) << "the time limit answers with the same state";
}

TEST_F(PageServer, BeyondTheMostWaitingTheOldestIsAnsweredAtOnce) {
    start();
    const std::string since = "/api/wait?since=" + revision();
    Pending first(server->port(), since);
    std::this_thread::sleep_for(100ms);
    Pending second(server->port(), since);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(first.answered_within(100));
    Pending third(server->port(), since);
    EXPECT_TRUE(first.answered_within(1000));
    EXPECT_EQ(first.answer().rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    EXPECT_FALSE(second.answered_within(100));
    EXPECT_FALSE(third.answered_within(100));
}

TEST_F(PageServer, AWaitWhoseClientHungUpFreesItsPlace) {
    start();
    const std::string since = "/api/wait?since=" + revision();
    Pending kept(server->port(), since);
    std::this_thread::sleep_for(100ms);
    Pending gone(server->port(), since);
    std::this_thread::sleep_for(100ms);
    gone.hang_up();
    std::this_thread::sleep_for(100ms);
    Pending third(server->port(), since);
    EXPECT_FALSE(kept.answered_within(300)) << "two wait, not three: the oldest keeps waiting";
}

TEST_F(PageServer, AWaitEvictedForRoomOrEndedByQuitIsAnsweredNotReset) {
    server_limits.max_connections = 2;
    limits.wait_ms = 20000;
    start();
    const std::string since = "/api/wait?since=" + revision();
    Pending evicted(server->port(), since);
    std::this_thread::sleep_for(100ms);
    Pending kept(server->port(), since);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(get(server->port(), "/version"), header_bytes() + "dravo_srv v1.14");
    EXPECT_EQ(evicted.answer().rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    server->stop();
    const std::string last = kept.answer();
    EXPECT_EQ(last.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    EXPECT_NE(body_of(last).find("\"rev\":"), std::string::npos);
}

}  // namespace
}  // namespace dravo::test
