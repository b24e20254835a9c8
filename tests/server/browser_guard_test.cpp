#include "browser_guard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "loopback_client.h"
#include "request_parser.h"
#include "server_fixture.h"
#include "sha256.h"

namespace dravo::test {
namespace {

using Kind = BrowserVerdict::Kind;

struct Captured {
    std::string source;  // file and way, for the failure message
    Kind expected;
    std::string head;  // CR LF line ends, ending in the empty line
};

Kind kind_named(const std::string& word) {
    return word == "run" ? Kind::run : word == "confirm" ? Kind::confirm : Kind::refuse;
}

// The "### <way> <verdict>" blocks of one data file.
std::vector<Captured> read_captured(const std::string& file) {
    std::ifstream in(std::string(DRAVO_BROWSER_REQUESTS_DIR) + "/" + file);
    std::vector<Captured> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("### ", 0) == 0) {
            std::istringstream words(line.substr(4));
            std::string way, verdict;
            words >> way >> verdict;
            out.push_back({file + ": " + way, kind_named(verdict), ""});
        } else if (!out.empty() && !line.empty()) {
            out.back().head += line + "\r\n";
        }
    }
    for (auto& c : out) {
        c.head += "\r\n";
    }
    return out;
}

std::string with_host(std::string head, const std::string& host) {
    const auto start = head.find("Host: ");
    if (start == std::string::npos) {
        return head;
    }
    const auto end = head.find("\r\n", start);
    return head.replace(start, end - start, "Host: " + host);
}

// The test's machine is "player-box", reached at 192.168.1.5; the browser data name the server
// dravo.lan, listed in allowed_hosts, so that the Host check passes and the rest is what judges.
const BrowserGuard& guard() {
    static const BrowserGuard g =
        BrowserGuard::from_settings("player-box", " dravo.lan\tradio:80 ");
    return g;
}

BrowserVerdict judge(const std::string& head) {
    const ParsedRequest request = parse_request(head);
    return guard().judge(request, "192.168.1.5", request.path != "/nothing");
}

TEST(BrowserGuard, RealHeaderSetsAreJudgedAsTheirBlockSays) {
    for (const char* file : {"chromium.txt", "firefox.txt", "safari.txt", "programs.txt"}) {
        const auto all = read_captured(file);
        ASSERT_GE(all.size(), 5u) << file;
        for (const auto& c : all) {
            const BrowserVerdict verdict = judge(c.head);
            EXPECT_EQ(verdict.kind, c.expected) << c.source << ": " << verdict.why;
            EXPECT_EQ(verdict.why.empty(), verdict.kind == Kind::run) << c.source;
            // A DNS-rebound page sends the same with its own name as Host: never runs unless
            // no browser sent it.
            const bool program = browser_mark(parse_request(c.head)).empty();
            const BrowserVerdict rebound = judge(with_host(c.head, "evil.example:8081"));
            EXPECT_EQ(rebound.kind, program ? c.expected : Kind::refuse) << c.source;
        }
    }
}

TEST(BrowserGuard, HostNamesThisMachineOnlyAsReached) {
    struct Case {
        const char* host;
        bool names_us;
    };
    const Case cases[] = {
        {"localhost:8081", true},
        {"LOCALHOST", true},
        {"127.0.0.1:8081", true},
        {"127.3.2.1", true},
        {"[::1]:81", true},
        {"player-box", true},
        {"Player-Box.local.", true},
        {"player-box.local:8081", true},
        {"dravo.lan", true},
        {"radio:8081", true},
        {"192.168.1.5:8081", true},
        {"192.168.1.6", false},
        {"evil.example", false},
        {"player-box.evil.example", false},
        {"localhost.evil.example", false},
        {"127.0.0.1.evil.example", false},
        {"dravo.lan.evil.example", false},
        {"", false},
        {":8081", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(guard().names_this_machine(c.host, "192.168.1.5"), c.names_us) << c.host;
    }
    // A fully qualified machine name gives its first label a .local name too.
    const auto qualified = BrowserGuard::from_settings("Box.Example.Org", "");
    for (const char* host : {"box.example.org", "box.local", "box.example.org.local"}) {
        EXPECT_TRUE(qualified.names_this_machine(host, "")) << host;
    }
    EXPECT_FALSE(qualified.names_this_machine("box", ""));
}

TEST(BrowserGuard, OnlyNavigationsToCommandsAreOfferedForConfirmation) {
    const std::string typed =
        "GET /nothing HTTP/1.1\r\nHost: dravo.lan\r\nUser-Agent: Mozilla/5.0"
        "\r\nAccept: text/html,*/*\r\n\r\n";
    EXPECT_EQ(judge(typed).kind, Kind::refuse);
    const std::string own_referer =
        "GET /next HTTP/1.1\r\nHost: dravo.lan:8081\r\nUser-Agent: "
        "Mozilla/5.0\r\nAccept: text/html\r\nReferer: "
        "http://dravo.lan:8081/\r\n\r\n";
    EXPECT_EQ(judge(own_referer).kind, Kind::confirm);
}

// The CSP's hashes must name the page's own script and style, or the browser runs neither.
TEST(BrowserGuard, ConfirmationPageAllowsOnlyItsOwnScriptAndCannotBeFramed) {
    const std::string& page = confirmation_page();
    const auto body = page.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos);
    const std::string header = page.substr(0, body);
    for (const char* line : {"HTTP/1.0 200 OK\r\n", "frame-ancestors 'none'",
                             "X-Frame-Options: DENY", "default-src 'none'",
                             "X-Content-Type-Options: nosniff", "Referrer-Policy: no-referrer"}) {
        EXPECT_NE(header.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(header.find("Access-Control-Allow"), std::string::npos);
    struct Inline {
        const char* open;
        const char* close;
        const char* directive;
    };
    for (const auto& [open, close, directive] : {Inline{"<script>", "</script>", "script-src"},
                                                 Inline{"<style>", "</style>", "style-src"}}) {
        const auto from = page.find(open) + std::string(open).size();
        const std::string text = page.substr(from, page.find(close) - from);
        // Base64 of the digest, checked against its hex form: each is made by another helper.
        const std::string hex = sha256_hex(text);
        const auto hash_at = header.find("'sha256-", header.find(directive));
        ASSERT_NE(hash_at, std::string::npos) << open;
        const std::string b64 = header.substr(hash_at + 8, 44);
        static const std::string kDigits =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string decoded_hex;
        unsigned bits = 0, count = 0;
        for (char c : b64.substr(0, 43)) {
            bits = (bits << 6) | static_cast<unsigned>(kDigits.find(c));
            count += 6;
            if (count >= 8) {
                count -= 8;
                static const char* kHex = "0123456789abcdef";
                const unsigned byte = (bits >> count) & 0xFF;
                decoded_hex += kHex[byte >> 4];
                decoded_hex += kHex[byte & 15];
            }
        }
        EXPECT_EQ(decoded_hex, hex) << open;
    }
}

TEST(BrowserGuard, ServerAnswersEachVerdictAndRunsOnlyTheAllowed) {
    ServerFixture server({}, {}, BrowserGuard::from_settings("player-box", "dravo.lan"));
    const std::string browser = "User-Agent: Mozilla/5.0 (X11)\r\n";
    struct Case {
        std::string request;
        std::string answer_starts;
        std::size_t messages;  // to the player
        const char* logged;
    };
    const Case cases[] = {
        {"GET /next HTTP/1.1\r\nHost: dravo.lan\r\n" + browser + "Accept: */*\r\n\r\n",
         header_bytes(), 0, "Refused cross-site request for /next (a browser's request"},
        {"GET /next HTTP/1.1\r\nHost: evil.example\r\n" + browser + "X-Dravo-Remote: 1\r\n\r\n",
         header_bytes(), 0, "/next (Host: evil.example does not name this machine)"},
        {"GET /next HTTP/1.1\r\nHost: dravo.lan\r\n" + browser + "Accept: text/html\r\n\r\n",
         "HTTP/1.0 200 OK\r\n", 0, "Asked to confirm /next"},
        {"GET /next HTTP/1.1\r\nHost: dravo.lan\r\n" + browser + "X-Dravo-Remote: 1\r\n\r\n",
         header_bytes(), 1, nullptr},
        {"GET /next HTTP/1.1\r\nHost: evil.example\r\nUser-Agent: curl/7.88.1\r\n\r\n",
         header_bytes(), 1, nullptr},
    };
    std::size_t sent = 0;
    for (const auto& c : cases) {
        const std::string answer = send_request(server.port(), c.request).value_or("");
        EXPECT_EQ(answer.substr(0, c.answer_starts.size()), c.answer_starts) << c.request;
        if (c.answer_starts == header_bytes()) {
            EXPECT_EQ(answer, header_bytes()) << c.request;
        }
        sent += c.messages;
        EXPECT_EQ(server.host.messages().size(), sent) << c.request;
        if (c.logged) {
            EXPECT_NE(server.log_text().find(c.logged), std::string::npos) << server.log_text();
        }
    }
}

}  // namespace
}  // namespace dravo::test
