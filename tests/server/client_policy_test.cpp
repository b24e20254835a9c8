#include "client_policy.h"
#include "request_parser.h"

#include <gtest/gtest.h>

#include "loopback_client.h"
#include "net_socket.h"
#include "server_fixture.h"

namespace dravo::test {
namespace {

TEST(ClientPolicy, PrefixesAndAddressesAreReadStrictly) {
    AddressPrefix p;
    EXPECT_TRUE(parse_prefix("192.168.1.77/24", p));
    EXPECT_EQ(p.address, 0xC0A80100u);
    EXPECT_EQ(p.length, 24);
    EXPECT_TRUE(parse_prefix("10.0.0.1", p));
    EXPECT_EQ(p.length, 32);
    EXPECT_TRUE(parse_prefix("0.0.0.0/0", p));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4/33", "1.2.3.4/",
                            "a.b.c.d", "1..2.3", "1.2.3.4/-1", "1234.1.1.1"}) {
        EXPECT_FALSE(parse_prefix(bad, p)) << bad;
    }
}

TEST(ClientPolicy, EmptyListLetsEveryoneInAndEntriesNarrowIt) {
    std::vector<std::string> problems;
    auto open = ClientPolicy::from_settings("", "  ", problems);
    EXPECT_TRUE(open.allows("203.0.113.9"));
    auto lan = ClientPolicy::from_settings("", "127.0.0.1 192.168.0.0/16\t10.1.2.3", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(lan.allows("127.0.0.1"));
    EXPECT_TRUE(lan.allows("192.168.44.5"));
    EXPECT_TRUE(lan.allows("10.1.2.3"));
    EXPECT_FALSE(lan.allows("10.1.2.4"));
    EXPECT_FALSE(lan.allows("127.0.0.2"));
    EXPECT_FALSE(lan.allows(""));
    // An unreadable entry is reported and lets nobody in, rather than opening the door.
    auto typo = ClientPolicy::from_settings("", "192.168.1.300", problems);
    EXPECT_EQ(problems, std::vector<std::string>{"192.168.1.300"});
    EXPECT_FALSE(typo.allows("192.168.1.30"));
}

TEST(ClientPolicy, CrossSiteRequestsAreRecognised) {
    std::string why;
    EXPECT_FALSE(is_cross_site(parse_request("GET /status HTTP/1.0\r\n\r\n"), why));
    EXPECT_FALSE(is_cross_site(
        parse_request("GET /s HTTP/1.1\r\nHost: 10.0.0.2:81\r\nOrigin: http://10.0.0.2:81\r\n\r\n"),
        why));
    EXPECT_FALSE(is_cross_site(
        parse_request("GET /s HTTP/1.1\r\nhost: Box\r\norigin: http://box:80\r\n\r\n"), why));
    EXPECT_FALSE(is_cross_site(
        parse_request("GET /s HTTP/1.1\r\nSec-Fetch-Site: same-origin\r\n\r\n"), why));
    EXPECT_FALSE(
        is_cross_site(parse_request("GET /s HTTP/1.1\r\nSec-Fetch-Site: none\r\n\r\n"), why));

    EXPECT_TRUE(is_cross_site(
        parse_request(
            "GET /shutdown HTTP/1.1\r\nHost: 10.0.0.2:81\r\nOrigin: http://evil.example\r\n\r\n"),
        why));
    EXPECT_EQ(why, "Origin: http://evil.example, Host: 10.0.0.2:81");
    EXPECT_TRUE(is_cross_site(
        parse_request("GET /s HTTP/1.1\r\nHost: box:81\r\nOrigin: http://box:82\r\n\r\n"), why));
    EXPECT_TRUE(
        is_cross_site(parse_request("GET /s HTTP/1.1\r\nHost: box\r\nOrigin: null\r\n\r\n"), why));
    EXPECT_TRUE(is_cross_site(parse_request("GET /s HTTP/1.1\r\nOrigin: http://box\r\n\r\n"), why));
    EXPECT_TRUE(
        is_cross_site(parse_request("GET /s HTTP/1.1\r\nSec-Fetch-Site: cross-site\r\n\r\n"), why));
    EXPECT_TRUE(
        is_cross_site(parse_request("GET /s HTTP/1.1\r\nsec-fetch-site: Same-Site\n\n"), why));
}

TEST(ClientPolicy, CrossSiteRequestGetsTheHeaderAloneAndIsLogged) {
    ServerFixture server;
    std::string request =
        "GET /version HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: http://evil.example\r\n\r\n";
    EXPECT_EQ(send_request(server.port(), request), header_bytes());
    EXPECT_NE(server.log_text().find("Refused cross-site request for /version (Origin: "
                                     "http://evil.example, Host: 127.0.0.1)\r\n"),
              std::string::npos)
        << server.log_text();
    // The same host with the page's proof, and no headers at all, are served as usual.
    std::string same =
        "GET /version HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: http://127.0.0.1\r\n"
        "X-Dravo-Remote: 1\r\n\r\n";
    EXPECT_EQ(send_request(server.port(), same), header_bytes() + "dravo_srv v1.14");
    EXPECT_EQ(get(server.port(), "/version"), header_bytes() + "dravo_srv v1.14");
}

TEST(ClientPolicy, BindAddressLimitsWhereTheServerListens) {
    std::vector<std::string> problems;
    ServerFixture server({}, ClientPolicy::from_settings("127.0.0.1", "", problems));
    EXPECT_EQ(get(server.port(), "/version"), header_bytes() + "dravo_srv v1.14");
    EXPECT_FALSE(connect_loopback(server.port(), 500, "127.0.0.2"));
}

TEST(ClientPolicy, RefusedClientIsClosedWithoutAnAnswerAndLogged) {
    std::vector<std::string> problems;
    ServerFixture server({}, ClientPolicy::from_settings("", "127.0.0.2", problems));
    EXPECT_EQ(get(server.port(), "/version"), "");
    EXPECT_NE(server.log_text().find("]Refused client 127.0.0.1\r\n"), std::string::npos);
    ServerFixture open_to_loopback({}, ClientPolicy::from_settings("", "127.0.0.0/8", problems));
    EXPECT_EQ(get(open_to_loopback.port(), "/version"), header_bytes() + "dravo_srv v1.14");
}

}  // namespace
}  // namespace dravo::test
