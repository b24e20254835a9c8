#include "command_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "loopback_client.h"
#include "server_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

const std::string kVersionAnswer = "dravo_srv v1.14";

TEST(CommandServer, HeaderIsSeventyOneBytesWithBareLineFeeds) {
    EXPECT_EQ(header_bytes().size(), 71u);
    EXPECT_EQ(header_bytes().find('\r'), std::string::npos);
}

TEST(CommandServer, AnswersVersionForCrLfAndBareLfRequests) {
    ServerFixture server;
    EXPECT_EQ(send_request(server.port(), "GET /version HTTP/1.1\r\nHost: x\r\n\r\n"),
              header_bytes() + kVersionAnswer);
    EXPECT_EQ(send_request(server.port(), "GET /version HTTP/1.0\n\n"),
              header_bytes() + kVersionAnswer);
    EXPECT_TRUE(server.host.boxes().empty());
}

TEST(CommandServer, GathersARequestSentInSeveralSegments) {
    ServerFixture server;
    auto connection = connect_loopback(server.port(), 5000);
    ASSERT_TRUE(connection);
    for (std::string piece : {"GET /ver", "sion HTTP/1.0\r\n", "Host: x\r\n", "\r\n"}) {
        ASSERT_EQ(connection->send(piece.data(), piece.size()), static_cast<long>(piece.size()));
        std::this_thread::sleep_for(30ms);
    }
    std::string answer;
    char buffer[512];
    for (;;) {
        connection->wait_readable(2000);
        long n = connection->receive(buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(answer, header_bytes() + kVersionAnswer);
}

TEST(CommandServer, HeadAndEmptyPathsAnswerTheHeaderAloneWithoutNotice) {
    ServerFixture server;
    EXPECT_EQ(send_request(server.port(), "HEAD /status HTTP/1.0\r\n\r\n"), header_bytes());
    EXPECT_EQ(send_request(server.port(), "X\r\n\r\n"), header_bytes());
    EXPECT_TRUE(server.host.boxes().empty());
}

TEST(CommandServer, UnknownPathsGetTheHeaderAndANoticeListingTheQuery) {
    ServerFixture server;
    for (const char* path : {"/Version", "/version/", "/play/"}) {
        EXPECT_EQ(get(server.port(), path), header_bytes());
    }
    EXPECT_EQ(get(server.port(), "/x?b=2&a=1&c"), header_bytes());
    EXPECT_EQ(send_request(server.port(), "GET\r\n\r\n"), header_bytes());
    auto boxes = server.host.boxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].first, "cmd: '/Version'\r\n");
    EXPECT_EQ(boxes[0].second, "");
    EXPECT_EQ(boxes[3].first, "cmd: '/x'\r\na: 1\r\nb: 2\r\nc: \r\n");
    EXPECT_EQ(boxes[4].first, "cmd: 'GET'\r\n");
}

std::string read_to_close(net::Connection& connection) {
    std::string answer;
    char buffer[512];
    for (;;) {
        if (!connection.wait_readable(30000)) {
            break;
        }
        long n = connection.receive(buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    return answer;
}

TEST(CommandServer, ClientClosingItsSideOrFillingTheBufferEndsTheRead) {
    ServerFixture server;
    auto connection = connect_loopback(server.port(), 5000);
    ASSERT_TRUE(connection);
    std::string line = "GET /version HTTP/1.0";
    connection->send(line.data(), line.size());
    connection->shutdown_send();
    EXPECT_EQ(read_to_close(*connection), header_bytes() + kVersionAnswer);

    EXPECT_TRUE(server.host.boxes().empty());
}

TEST(CommandServer, FullBufferIsHandledWithoutWaitingForTheIdleLimit) {
    ServerFixture server(ServerLimits{10, 600000, 5000, 256});  // idle limit 30 times the bound
    // 4095 bytes without an empty line: parsed as they are; the rest is never read.
    std::string full = "GET /version " + std::string(4095 - 13, 'x');
    auto start = std::chrono::steady_clock::now();
    auto filled = connect_loopback(server.port(), 5000);
    ASSERT_TRUE(filled);
    filled->send(full.data(), full.size());
    EXPECT_EQ(read_to_close(*filled), header_bytes() + kVersionAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s) << "must not wait for the idle limit";
}

TEST(CommandServer, SilentClientIsDroppedAfterTwoSecondsWithoutHoldingUpOthers) {
    ServerFixture server;
    auto silent = connect_loopback(server.port(), 5000);
    ASSERT_TRUE(silent);
    silent->send("GET /ver", 8);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(get(server.port(), "/version"), header_bytes() + kVersionAnswer);
    EXPECT_FALSE(silent->wait_readable(0)) << "the other request was answered before the drop";
    // The silent one gets nothing but the close, after the idle limit.
    char buffer[16];
    ASSERT_TRUE(silent->wait_readable(30000));
    EXPECT_EQ(silent->receive(buffer, sizeof buffer), 0);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 1900ms);
    EXPECT_LT(waited, 20s);
    EXPECT_NE(server.log_text().find("]Error: Receive() returned 10060\r\n"), std::string::npos);
}

TEST(CommandServer, ClientThatNeverReadsHoldsUpNobodyAndIsDropped) {
    // The stall limit is far above what five requests take even in a slow build, so the
    // others finishing before the drop shows they did not wait for the stuck client.
    ServerFixture server(ServerLimits{10, 2000, 8000, 256});
    for (int i = 0; i < 20000; ++i) {
        server.host.files.push_back(std::string(500, 'a'));
    }
    auto stuck = connect_loopback(server.port(), 5000);
    ASSERT_TRUE(stuck);
    std::string request = "GET /list HTTP/1.0\r\n\r\n";
    stuck->send(request.data(), request.size());
    std::this_thread::sleep_for(200ms);  // its ten megabytes are queued by now
    const std::string dropped = "]Error: Send() returned 10060\r\n";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(get(server.port(), "/version"), header_bytes() + kVersionAnswer);
    }
    EXPECT_EQ(server.log_text().find(dropped), std::string::npos) << "answered before the drop";
    for (auto until = std::chrono::steady_clock::now() + 40s;
         server.log_text().find(dropped) == std::string::npos &&
         std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_NE(server.log_text().find(dropped), std::string::npos);
}

TEST(CommandServer, ConnectionsBeyondTheCapCloseTheIdlestOne) {
    ServerFixture server(ServerLimits{10, 5000, 5000, 3});
    std::vector<net::Connection> idle;
    for (int i = 0; i < 3; ++i) {
        idle.push_back(*connect_loopback(server.port(), 5000));
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(get(server.port(), "/version"), header_bytes() + kVersionAnswer);
    char buffer[4];
    ASSERT_TRUE(idle[0].wait_readable(10000)) << "the oldest idle connection is closed";
    EXPECT_LE(idle[0].receive(buffer, sizeof buffer), 0);
    EXPECT_FALSE(idle[2].wait_readable(100)) << "a newer one stays open";
}

TEST(ReadinessWait, LeavesOutEntriesWithoutAHandleWhereverTheyStand) {
    net::Listener listener;
    const int port = listen_on_free_port(listener, "127.0.0.1");
    ASSERT_NE(port, 0);
    auto client = connect_loopback(port, 5000);
    ASSERT_TRUE(client);
    auto accepted = listener.accept(5000);
    ASSERT_TRUE(accepted);
    ASSERT_EQ(client->send("x", 1), 1);
    const auto ready = accepted->handle();
    struct Case {
        const char* what;
        std::vector<std::intptr_t> handles;
        std::vector<bool> readable;
    } cases[] = {
        {"left out after the ready one", {ready, net::kNoHandle}, {true, false}},
        {"left out before the ready one",
         {net::kNoHandle, net::kNoHandle, ready},
         {false, false, true}},
        {"nothing to wait for", {net::kNoHandle}, {false}},
    };
    for (const auto& c : cases) {
        std::vector<net::WaitEntry> entries;
        for (auto handle : c.handles) {
            entries.push_back({handle, true, false});
        }
        net::wait_any(entries, 50);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].readable, c.readable[i]) << c.what << ", entry " << i;
        }
    }
}

TEST(CommandServer, ResetClientIsLoggedOnceWithItsCode) {
    ServerFixture server;
    {
        auto client = connect_loopback(server.port(), 5000);
        ASSERT_TRUE(client);
        client->send("GET /ver", 8);
        std::this_thread::sleep_for(50ms);
        client->reset();  // abortive close: the server sees a reset
    }
    EXPECT_EQ(get(server.port(), "/version"), header_bytes() + kVersionAnswer);
    std::string log = server.log_text();
    // Whichever call meets the reset logs it; Winsock may only tell at the answer.
    EXPECT_NE(log.find("() returned 10054\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("\r\n"), log.size() - 2) << "exactly one line: " << log;
}

TEST(CommandServer, StopsPromptlyAndFreesThePort) {
    int port = 0;
    auto start = std::chrono::steady_clock::now();
    {
        ServerFixture server(ServerLimits{10, 120000, 120000, 256});  // limits 24 times the bound
        port = server.port();
        ASSERT_TRUE(wait_for_port(port, 10000));
        start = std::chrono::steady_clock::now();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "must not wait for clients";
    net::Listener again;
    std::string reason;
    EXPECT_TRUE(again.open(port, 5, reason)) << reason;
}

TEST(CommandServer, PortInUseGivesTheListenNoticeNamingThePort) {
    net::Listener taken;
    std::string reason;
    int port = free_port();
    ASSERT_TRUE(taken.open(port, 5, reason));
    FakeHost host;
    ServerSettings settings;
    MuteMemory mute;
    PlayerControl player(host);
    CommandTable table(CommandEnv{host, player, settings, nullptr, mute});
    ServerLog log("/nonexistent/log");
    CommandServer server(
        port, table,
        [&host](const std::string& text, const std::string& caption) {
            host.message_box(text, caption);
        },
        log);
    EXPECT_EQ(server.run(), 0);
    EXPECT_EQ(server.state(), CommandServer::State::failed);
    auto boxes = host.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first.rfind("socket.Listen() failed", 0), 0u);
    EXPECT_NE(boxes[0].first.find(std::to_string(port)), std::string::npos);
    EXPECT_EQ(boxes[0].second, "dravo_srv Error");
}

}  // namespace
}  // namespace dravo::test
