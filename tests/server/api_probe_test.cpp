// A HEAD request tells a program whether the server offers its API: an API path gets that
// answer's headers alone and runs nothing; every other HEAD gets the plain header, as an old
// server gives it.
#include <gtest/gtest.h>

#include <memory>

#include "loopback_client.h"
#include "page_service.h"
#include "plugin_abi.h"
#include "server_fixture.h"

namespace dravo::test {
namespace {

constexpr const char* kJsonHead =
    "HTTP/1.0 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n";

struct ProbeCase {
    const char* request;  // the request head without its final empty line
    bool api;             // JSON headers; otherwise the plain header alone
};

const ProbeCase kProbes[] = {
    {"HEAD /api/state HTTP/1.0", true},
    {"HEAD /api/wait?since=1 HTTP/1.0", true},
    {"HEAD /api/seek?ms=60000 HTTP/1.0", true},
    {"HEAD /api/filter?text=x HTTP/1.1\r\nUser-Agent: Mozilla/5.0", true},
    {"HEAD / HTTP/1.0", false},
    {"HEAD /status HTTP/1.0", false},
    {"HEAD /api/other HTTP/1.0", false},
    {"HEAD /api/state", true},
    {"HEAD", false},
};

TEST(ApiProbe, ApiPathsAnswerTheirHeadersAloneAndEveryOtherHeadThePlainHeader) {
    ServerFixture server(ServerLimits{}, ClientPolicy{}, BrowserGuard::from_settings("", ""),
                         PageLimits{});
    server.host.play_state = 1;
    server.host.position_ms = 1000;
    for (const auto& probe : kProbes) {
        const auto answer = send_request(server.port(), std::string(probe.request) + "\r\n\r\n");
        ASSERT_TRUE(answer) << probe.request;
        if (probe.api) {
            EXPECT_EQ(answer->rfind(kJsonHead, 0), 0u) << probe.request;
            EXPECT_EQ(answer->find("\r\n\r\n"), answer->size() - 4) << probe.request;
            EXPECT_EQ(answer->find("Content-Length"), std::string::npos) << probe.request;
        } else {
            EXPECT_EQ(*answer, header_bytes()) << probe.request;
        }
    }
    // Nothing ran: no seek reached the host, no notice showed.
    for (const auto& message : server.host.messages()) {
        EXPECT_NE(message, user_msg(op::jump_to_time, 60000));
        EXPECT_NE(message, button_msg(button::forward_5s));
    }
    EXPECT_TRUE(server.host.boxes().empty());
    // A GET line beside a HEAD line is a GET, as before.
    EXPECT_EQ(send_request(server.port(), "HEAD /api/state HTTP/1.0\r\nGET /version\r\n\r\n"),
              header_bytes() + "dravo_srv v1.14");
    EXPECT_NE(get(server.port(), "/api/state")->find("\"position_ms\":1000"), std::string::npos);
}

}  // namespace
}  // namespace dravo::test
