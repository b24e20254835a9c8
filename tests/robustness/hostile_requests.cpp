#include "hostile_requests.h"

#include <chrono>
#include <string_view>

#include "command_server.h"
#include "loopback_client.h"
#include "net_socket.h"

namespace dravo::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kVersion = "dravo_srv v1.14";
constexpr std::size_t kLimit = kRequestMax;

int pick(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

std::string random_bytes(std::mt19937& rng, std::size_t size, int low = 0, int high = 255) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(pick(rng, low, high));
    }
    return bytes;
}

std::string broken_escape(std::mt19937& rng) {
    static const char* const kFixed[] = {
        "%",      "%4",     "a%",  "%%",      "%zz", "%g0%", "%%41", "x%2",   "%00",
        "%0d%0a", "%ff%fe", "+%2", "%22open", "%2",  "100%", "%2a",  "JAZZ%", "%22blue%20live%22"};
    constexpr int kFixedCount = sizeof kFixed / sizeof kFixed[0];
    int choice = pick(rng, 0, kFixedCount);
    if (choice < kFixedCount) {
        return kFixed[choice];
    }
    static const char kPieces[] = "%%%0123456789abcdefXYZ+-*";
    std::string value;
    for (int n = pick(rng, 1, 40); n > 0; --n) {
        value += kPieces[pick(rng, 0, sizeof kPieces - 2)];
    }
    return value;
}

std::string base36(int n) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
        n /= 36;
    } while (n > 0);
    return text;
}

HostileRequest make(const char* kind, std::string bytes, Ending ending, Check check,
                    std::string answer = {}) {
    HostileRequest request;
    request.kind = kind;
    request.bytes = std::move(bytes);
    request.ending = ending;
    request.check = check;
    request.answer = header_bytes() + answer;
    return request;
}

// Header lines without an end, cut to exactly the limit: complete by size alone.
std::string header_flood(std::mt19937& rng) {
    std::string text = "GET /version HTTP/1.0\r\n";
    while (text.size() < kLimit) {
        text += "X-Pad: " + random_bytes(rng, 20, 'a', 'z') + "\r\n";
    }
    text.resize(kLimit);
    return text;
}

HostileRequest many_pairs(std::mt19937& rng, const std::string& filter, bool within_limit) {
    std::string text = "GET /get_filter?";
    for (int n = 0; within_limit ? text.size() < kLimit - 40 : n < 10000; ++n) {
        text += base36(n) + "=" + random_bytes(rng, 2, 'a', 'z') + "&";
    }
    text += " HTTP/1.0\r\n\r\n";
    if (!within_limit) {
        return make("10000 pairs", text, Ending::half_close, Check::none);
    }
    return make("pairs up to the limit", text, Ending::wait, Check::exact, filter);
}

}  // namespace

HostileRequest hostile_request(int i, std::mt19937& rng, const std::string& filter) {
    switch (i % kHostileKinds) {
        case 0:
            return make("random bytes", random_bytes(rng, pick(rng, 1, kLimit)), Ending::half_close,
                        Check::header_first);
        case 1:
            return make("zero byte after the path",
                        "GET /version" + std::string(1, '\0') + random_bytes(rng, 100) + "\r\n\r\n",
                        Ending::half_close, Check::exact, kVersion);
        case 2:
            return make("zero bytes only", std::string(pick(rng, 1, kLimit), '\0'),
                        Ending::half_close, Check::exact);
        case 3:
            return make("endless line", "GET /" + std::string(pick(rng, kLimit, 2 * kLimit), 'a'),
                        Ending::half_close, Check::none);
        case 4:
            return make("line filling the buffer", "GET /" + std::string(kLimit - 5, 'b'),
                        Ending::wait, Check::exact);
        case 5: {
            std::string text;
            for (int n = pick(rng, 1, 40); n > 0; --n) {
                text += std::string(pick(rng, 1, 60), ' ') + "\r\n";
            }
            return make("lines of blanks", text + "\r\n", Ending::wait, Check::exact);
        }
        case 6:
            return make("blanks without an end", std::string(pick(rng, 1, kLimit), ' '),
                        Ending::half_close, Check::exact);
        case 7: {
            std::string value = broken_escape(rng);
            auto request =
                make("broken escapes", "GET /set_filter?filter=" + value + " HTTP/1.0\r\n\r\n",
                     Ending::wait, Check::exact, "ok");
            request.raw_filter = value;
            return request;
        }
        case 8:
            return many_pairs(rng, filter, false);
        case 9:
            return many_pairs(rng, filter, true);
        case 10:
            return make("reset mid-request",
                        "GET /sta" + random_bytes(rng, pick(rng, 0, 200), 'a', 'z'), Ending::reset,
                        Check::none);
        case 11:
            return make("connect and close", "", Ending::close, Check::none);
        case 12:
            return make("header lines up to the limit", header_flood(rng), Ending::wait,
                        Check::exact, kVersion);
        case 13:
            return make("bare CRs", "GET /version" + std::string(pick(rng, 1, 300), '\r'),
                        Ending::half_close, Check::exact, kVersion);
        case 14:
            return make("cross-site",
                        i % 2 ? "GET /get_volume HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: "
                                "http://a.example\r\n\r\n"
                              : "GET /get_volume HTTP/1.1\r\nSec-Fetch-Site: cross-site\r\n\r\n",
                        Ending::wait, Check::exact);
        case 15:
            return make("high bytes in the target",
                        "GET /" + random_bytes(rng, pick(rng, 1, 200), 0x80, 0xff) + "?" +
                            random_bytes(rng, 20, 0x80, 0xff) + " HTTP/1.0\r\n\r\n",
                        Ending::wait, Check::exact);
        case 16:
            return make("POST with a body",
                        "POST /version HTTP/1.0\r\nContent-Length: 11\r\n\r\nhello world",
                        Ending::wait, Check::exact);
        default: {
            std::string text;
            for (int n = pick(rng, 2, 100); n > 0; --n) {
                text += "GET /nope?x=" + base36(n) + "\n";
            }
            return make("many GET lines", text + "\n", Ending::wait, Check::exact);
        }
    }
}

std::optional<std::string> send_hostile(int port, const HostileRequest& request) {
    auto connection = connect_loopback(port, 5000);
    if (!connection) {
        return std::nullopt;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    std::size_t sent = 0;
    // The server may close before it has taken everything: then stop sending.
    while (sent < request.bytes.size() && Clock::now() < deadline) {
        long n = connection->send(request.bytes.data() + sent, request.bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (connection->last_error() == net::kWouldBlock) {
            connection->wait_writable(50);
        } else {
            break;
        }
    }
    switch (request.ending) {
        case Ending::reset:
            connection->reset();
            return std::string();
        case Ending::close:
            connection->close();
            return std::string();
        case Ending::half_close:
            connection->shutdown_send();
            break;
        case Ending::wait:
            break;
    }
    std::string answer;
    char buffer[4096];
    while (Clock::now() < deadline) {
        long n = connection->receive(buffer, sizeof buffer);
        if (n > 0) {
            answer.append(buffer, static_cast<std::size_t>(n));
        } else if (n < 0 && connection->last_error() == net::kWouldBlock) {
            connection->wait_readable(50);
        } else {
            break;
        }
    }
    return answer;
}

}  // namespace dravo::test
