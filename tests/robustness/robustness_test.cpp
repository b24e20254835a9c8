// The real host with the plug-in under more than a thousand malformed and hostile requests,
// each followed by a normal one: every normal request is answered right, the host lives on and
// ends cleanly, and its memory stays flat.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "hostile_requests.h"
#include "loopback_client.h"
#include "net_socket.h"
#include "system_fixture.h"
#include "text.h"
#include "track_filter.h"

namespace dravo::test {
namespace {

constexpr int kWarmUp = 10 * kHostileKinds;
constexpr int kTotal = 70 * kHostileKinds;  // 1260
constexpr long kMemoryMarginKiB = 8 * 1024;
// Sanitizer builds hold freed memory in quarantine and map shadow memory as it is touched:
// their resident size says nothing about leaks (LeakSanitizer covers those there).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kResidentSizeMeaningful = false;
#else
constexpr bool kResidentSizeMeaningful = true;
#endif

long resident_kib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

bool alive(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

class Robustness : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Jazz/Live/Blue Live.mp3", "Rock/värld.ogg", "x.wav"}) {
            music.write(name, "");
        }
        host = std::make_unique<SystemHost>(music.path());
        ASSERT_TRUE(host->ready()) << host->host_errors();
    }

    // One normal request in turn; its answer must be exactly right.
    void check_normal(int turn) {
        static const char* const kTargets[] = {"/version", "/status", "/get_volume"};
        const std::string target = kTargets[turn % 3];
        // The status line of the filter drops line breaks so that the body keeps five lines.
        std::string expected = target == "/version" ? "dravo_srv v1.14"
                               : target == "/get_volume"
                                   ? "40"
                                   : "playing: 0\nrepeat: 0\nshuffle: 0\nvolume: 40\nfilter: " +
                                         strip_line_breaks(filter) + "\n";
        ASSERT_EQ(host->body(target), expected) << "after request " << turn;
    }

    void hostile_round(int from, int to) {
        for (int i = from; i < to; ++i) {
            const HostileRequest request = hostile_request(i, rng, filter);
            const auto answer = send_hostile(host->port(), request);
            ASSERT_TRUE(answer) << "no connection for request " << i << " (" << request.kind << ")";
            if (request.check == Check::exact) {
                EXPECT_EQ(*answer, request.answer)
                    << "request " << i << " (" << request.kind << ")";
            } else if (request.check == Check::header_first) {
                EXPECT_EQ(answer->substr(0, header_bytes().size()), header_bytes())
                    << "request " << i << " (" << request.kind << ")";
            }
            if (request.raw_filter) {
                filter = percent_decode_lenient(*request.raw_filter);
            }
            check_normal(i);
            if (HasFatalFailure()) {
                return;
            }
        }
    }

    TempDir music;
    std::unique_ptr<SystemHost> host;
    std::mt19937 rng{20240601};
    std::string filter;
};

TEST_F(Robustness, MalformedRequestsLeaveNormalOnesAnsweredAndMemoryFlat) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = host->process().pid();
    ASSERT_EQ(host->body("/volume?volume=40"), "");
    // Silent clients held open the whole time take nobody's turn.
    std::vector<net::Connection> silent;
    for (int n = 0; n < 8; ++n) {
        if (auto connection = connect_loopback(host->port(), 5000)) {
            silent.push_back(std::move(*connection));
        }
    }

    hostile_round(0, kWarmUp);
    ASSERT_FALSE(HasFatalFailure());
    const long warm = resident_kib(pid);
    hostile_round(kWarmUp, kTotal);
    ASSERT_FALSE(HasFatalFailure());
    const long end = resident_kib(pid);
    silent.clear();

    ASSERT_TRUE(alive(pid)) << host->host_errors();
    EXPECT_GT(warm, 0);
    if (kResidentSizeMeaningful) {
        EXPECT_LE(end, warm + kMemoryMarginKiB) << "resident memory grew from " << warm << " KiB";
    }
    EXPECT_EQ(host->body("/shutdown"), "");
    EXPECT_EQ(host->process().wait_exit(std::chrono::seconds(20)), 0) << host->host_errors();
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%d hostile and %d normal requests in %.1f s; resident memory %ld KiB after "
        "warm-up, %ld KiB at the end\n",
        kTotal, kTotal, seconds, warm, end);
}

}  // namespace
}  // namespace dravo::test
