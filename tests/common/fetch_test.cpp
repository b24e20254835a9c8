#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <sstream>

#include "fetch.h"
#include "local_http_server.h"
#include "loopback_client.h"

namespace dravo {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using Clock = std::chrono::steady_clock;

const FetchLimits kShortLimits{std::chrono::milliseconds(2000), std::chrono::milliseconds(400)};

std::string binary_body(std::size_t size) {
    std::string body;
    for (std::size_t i = 0; i < size; ++i) {
        body += static_cast<char>(i % 7 == 0 ? 0 : i % 251);
    }
    return body;
}

TEST(Fetch, BodiesAreAppendedWholeAfterExistingContent) {
    const auto large = binary_body(20000);
    LocalHttpServer server(
        {{"/empty", {200, ""}}, {"/large", {200, large}}, {"/title?x=1", {200, "T"}}});
    ASSERT_TRUE(server.listening());

    std::stringstream out;
    EXPECT_TRUE(fetch_url(out, server.base_url() + "empty", kTransferAscii));
    EXPECT_EQ(out.str(), "");

    out << "existing:";
    EXPECT_TRUE(fetch_url(out, server.base_url() + "large", kTransferBinary));
    EXPECT_EQ(out.str(), "existing:" + large);
    EXPECT_TRUE(fetch_url(out, server.base_url() + "title?x=1", kTransferAscii));
    EXPECT_EQ(out.str(), "existing:" + large + "T");
    // Reading the stream still starts at its beginning.
    std::string first;
    out >> first;
    EXPECT_EQ(first.substr(0, 9), "existing:");
}

// The plug-in announces no length: its close ends the body, which is then whole.
TEST(Fetch, BodyEndedByTheCloseIsWhole) {
    LocalHttpServer server(
        {{"/title", {200, "A - B", {}, false, true}}, {"/empty", {200, "", {}, false, true}}});
    ASSERT_TRUE(server.listening());
    for (const auto& [target, body] : {std::pair{"title", "A - B"}, {"empty", ""}}) {
        std::stringstream out;
        EXPECT_TRUE(fetch_url(out, server.base_url() + target, kTransferAscii)) << target;
        EXPECT_EQ(out.str(), body);
    }
}

TEST(Fetch, AnyStatusIsAnAnswerAndNoCacheIsAsked) {
    LocalHttpServer server({{"/err", {500, "server broke"}}});
    std::stringstream out;
    EXPECT_TRUE(fetch_url(out, server.base_url() + "missing", kTransferAscii));
    EXPECT_EQ(out.str(), "not found");
    EXPECT_TRUE(fetch_url(out, server.base_url() + "err", kTransferAscii));
    EXPECT_EQ(out.str(), "not foundserver broke");
    EXPECT_TRUE(request_url(server.base_url() + "missing"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& head : requests) {
        EXPECT_EQ(head.rfind("GET /", 0), 0u) << head;
        EXPECT_NE(head.find("Cache-Control: no-cache\r\n"), std::string::npos) << head;
    }
}

TEST(Fetch, RefusedConnectionFailsAtOnceAndKeepsStream) {
    const auto url = "http://127.0.0.1:" + std::to_string(test::free_port()) + "/status";
    std::stringstream out;
    out << "before";
    const auto start = Clock::now();
    EXPECT_FALSE(fetch_url(out, url, kTransferAscii));
    EXPECT_FALSE(request_url(url));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));  // not the connect limit
    EXPECT_EQ(out.str(), "before");
    EXPECT_FALSE(fetch_url(out, "not a url", kTransferAscii));
    EXPECT_FALSE(fetch_url(out, "file:///etc/hostname", kTransferAscii));
    EXPECT_EQ(out.str(), "before");
}

TEST(Fetch, HeadGivesTheContentTypeOrNothingWithoutAnAnswer) {
    LocalHttpServer server({{"/a", {200, "body"}}});
    EXPECT_EQ(head_content_type(server.base_url() + "a"), "application/octet-stream");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].rfind("HEAD /a HTTP/1.0\r\n", 0), 0u) << server.requests()[0];
    const auto refused = "http://127.0.0.1:" + std::to_string(test::free_port()) + "/a";
    EXPECT_EQ(head_content_type(refused), std::nullopt);
    EXPECT_EQ(head_content_type("not a url"), std::nullopt);
}

TEST(Fetch, SilentServerFailsAtTheOverallLimit) {
    LocalHttpServer server({}, LocalHttpServer::Mode::silent);
    std::stringstream out;
    const auto start = Clock::now();
    EXPECT_FALSE(fetch_url(out, server.base_url() + "status", kTransferAscii, kShortLimits));
    EXPECT_FALSE(request_url(server.base_url() + "next", kShortLimits));
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 2 * kShortLimits.total);
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(out.str(), "");
}

TEST(Fetch, CancelEndsATransferTheServerHolds) {
    LocalHttpServer server({{"/slow", HttpReply(200, "late")}});
    server.hold("/slow");
    std::atomic<bool> cancel{false};
    const FetchLimits limits{std::chrono::milliseconds(2000), std::chrono::seconds(60), &cancel};
    std::stringstream out;
    auto fetched = std::async(std::launch::async, [&] {
        return fetch_url(out, server.base_url() + "slow", kTransferBinary, limits);
    });
    for (auto until = Clock::now() + std::chrono::seconds(20);
         server.count("/slow") == 0 && Clock::now() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    cancel = true;
    // Long before the 60-second limit: only the cancel can end it while the server holds.
    ASSERT_EQ(fetched.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_FALSE(fetched.get());
    EXPECT_EQ(out.str(), "");
    server.release("/slow");
}

TEST(Fetch, BrokenTransferKeepsWhatArrived) {
    LocalHttpServer server({{"/cut", {200, "partial", "", true}}});
    std::stringstream out;
    EXPECT_FALSE(fetch_url(out, server.base_url() + "cut", kTransferBinary, kShortLimits));
    EXPECT_EQ(out.str(), "partial");
    EXPECT_TRUE(request_url(server.base_url() + "cut", kShortLimits));  // the answer did arrive
}

TEST(Fetch, StreamThatRefusesBytesFails) {
    LocalHttpServer server({{"/body", {200, "body"}}});
    std::stringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(fetch_url(out, server.base_url() + "body", kTransferAscii));
}

TEST(Fetch, RedirectsAreFollowedOverHttpOnly) {
    LocalHttpServer server({{"/old", {302, "", "Location: /new\r\n"}},
                            {"/new", {200, "moved here"}},
                            {"/local", {302, "", "Location: file:///etc/hostname\r\n"}}});
    std::stringstream out;
    EXPECT_TRUE(fetch_url(out, server.base_url() + "old", kTransferBinary));
    EXPECT_EQ(out.str(), "moved here");
    EXPECT_FALSE(fetch_url(out, server.base_url() + "local", kTransferBinary));
    EXPECT_EQ(out.str(), "moved here");
}

}  // namespace
}  // namespace dravo
