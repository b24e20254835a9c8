// A client that stops reading a long answer is dropped with a reset: the end of an answer is
// the close, so an orderly close would pass a cut list off as complete.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "loopback_client.h"
#include "net_socket.h"
#include "server_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kRead = 1 << 20;

// A client that has read the first megabyte of a 20 MB list and then stops reading.
class StalledAnswer : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 40000; ++i) {
            server->host.files.push_back(std::string(500, static_cast<char>('a' + i % 26)));
        }
        auto connection = connect_loopback(server->port(), 5000);
        ASSERT_TRUE(connection);
        client = std::move(*connection);
        // A small window, so the 20 MB cannot all be parked in buffers while the client stalls.
        set_receive_window(client, 64 * 1024);
        const std::string request = "GET /list HTTP/1.0\r\n\r\n";
        ASSERT_EQ(client.send(request.data(), request.size()), static_cast<long>(request.size()));
        while (received < kRead) {
            const long n = read_some();
            if (n <= 0) {
                break;
            }
            received += static_cast<std::size_t>(n);
        }
        ASSERT_GE(received, kRead);
    }
    long read_some() {
        for (;;) {
            if (!client.wait_readable(10000)) {
                return -2L;
            }
            const long n = client.receive(buffer, sizeof buffer);
            if (n != -1 || client.last_error() != net::kWouldBlock) {
                return n;
            }
        }
    }
    // What was already on its way may still arrive; the end must be an error, not a close.
    void expect_reset() {
        long n = 0;
        while ((n = read_some()) > 0) {
            received += static_cast<std::size_t>(n);
        }
        EXPECT_EQ(n, -1) << "an orderly end after " << received << " bytes";
        EXPECT_EQ(client.last_error(), net::kConnectionReset);
        EXPECT_LT(received, 40000U * 501U);
    }

    std::unique_ptr<ServerFixture> server =
        std::make_unique<ServerFixture>(ServerLimits{10, 2000, 1000, 256});
    net::Connection client;
    std::size_t received = 0;
    char buffer[65536];
};

TEST_F(StalledAnswer, ClientThatStopsReadingALongListGetsAReset) {
    const auto limit = std::chrono::steady_clock::now() + 30s;
    const std::string dropped = "]Error: Send() returned 10060\r\n";
    while (server->log_text().find(dropped) == std::string::npos &&
           std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_NE(server->log_text().find(dropped), std::string::npos);
    expect_reset();
}

TEST_F(StalledAnswer, StoppingTheServerResetsAnAnswerStillOnItsWay) {
    server.reset();
    expect_reset();
}

}  // namespace
}  // namespace dravo::test
