#include "browser_guard.h"

#include "client_policy.h"
#include "sha256.h"
#include "text.h"

namespace dravo {
namespace {

const char* const kBlanks = " \t\r\n";

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "Name.Example:8081" -> "name.example"; "[::1]:81" -> "[::1]"; a trailing dot goes too.
std::string host_name_of(std::string_view host) {
    std::string name = lower_case(trim(std::string(host)));
    const auto bracket = name.rfind(']');
    const auto colon = name.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        name.resize(colon);
    }
    if (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    return name;
}

bool is_loopback_literal(const std::string& name) {
    return name == "[::1]" || (starts_with(name, "127.") &&
                               name.find_first_not_of("0123456789.") == std::string::npos);
}

// A navigation asks for a document; everything else a page loads (images, scripts, styles,
// fetches, beacons) asks for something else. Without Sec-Fetch-* only Accept tells.
bool is_navigation(const ParsedRequest& request) {
    for (const char* name : {"sec-purpose", "purpose"}) {
        if (request.header(name)) {
            return false;  // a prefetch runs behind the user's back
        }
    }
    if (const std::string* mode = request.header("sec-fetch-mode")) {
        const std::string* dest = request.header("sec-fetch-dest");
        return lower_case(*mode) == "navigate" && (!dest || lower_case(*dest) == "document");
    }
    const std::string* accept = request.header("accept");
    return accept && starts_with(lower_case(*accept), "text/html");
}

BrowserVerdict refuse(std::string why) { return {BrowserVerdict::Kind::refuse, std::move(why)}; }

std::string base64_of_hex(const std::string& hex) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            value |= static_cast<unsigned char>(bytes[i + 2]);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            out += i + k <= bytes.size() ? kDigits[(value >> (18 - 6 * k)) & 63] : '=';
        }
    }
    return out;
}

// The page names the command from its own address and runs it with the proof; nothing of the
// request is written into it, so no text of an attacker's is ever parsed as HTML.
constexpr const char* kConfirmScript =
    "const target = location.pathname + location.search;"
    "let shown = target;"
    "try { shown = decodeURI(target); } catch (e) {}"
    "document.getElementById('command').textContent = shown;"
    "document.getElementById('run').addEventListener('click', async () => {"
    "const out = document.getElementById('answer');"
    "try {"
    "const answer = await fetch(target, {headers: {'X-Dravo-Remote': '1'}, cache: 'no-store'});"
    "out.textContent = (await answer.text()) || 'Done.';"
    "} catch (e) { out.textContent = 'The player did not answer.'; }"
    "});";

constexpr const char* kConfirmStyle =
    "body{font:18px sans-serif;margin:2em;max-width:40em}"
    "code,pre{font-size:16px;word-break:break-all;white-space:pre-wrap}"
    "button{font-size:18px;min-height:44px;min-width:8em}";

std::string build_confirmation_page() {
    const std::string csp = "default-src 'none'; script-src 'sha256-" +
                            base64_of_hex(sha256_hex(kConfirmScript)) + "'; style-src 'sha256-" +
                            base64_of_hex(sha256_hex(kConfirmStyle)) +
                            "'; connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; "
                            "form-action 'none'";
    return std::string(
               "HTTP/1.0 200 OK\r\nConnection: close\r\nCache-Control: no-store\r\n"
               "Content-Type: text/html; charset=utf-8\r\n"
               "Content-Security-Policy: ") +
           csp +
           "\r\nX-Frame-Options: DENY\r\nX-Content-Type-Options: nosniff\r\n"
           "Referrer-Policy: no-referrer\r\n\r\n"
           "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>dravo: run a command?</title><style>" +
           kConfirmStyle +
           "</style></head><body><h1>Run this command on the player?</h1>"
           "<p><code id=\"command\"></code></p>"
           "<p>A link or another site may have sent you here; nothing has run yet.</p>"
           "<button id=\"run\" type=\"button\">Run</button>"
           "<pre id=\"answer\" aria-live=\"polite\"></pre><script>" +
           kConfirmScript + "</script></body></html>\n";
}

}  // namespace

BrowserGuard BrowserGuard::from_settings(const std::string& machine_name,
                                         const std::string& allowed_hosts) {
    BrowserGuard guard;
    guard.names_ = {"localhost"};
    const std::string machine = host_name_of(machine_name);
    if (!machine.empty()) {
        const std::string label = machine.substr(0, machine.find('.'));
        guard.names_.insert(guard.names_.end(), {machine, machine + ".local", label + ".local"});
    }
    std::string_view rest = allowed_hosts;
    while (true) {
        const auto start = rest.find_first_not_of(kBlanks);
        if (start == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(start);
        const auto word = rest.substr(0, rest.find_first_of(kBlanks));
        rest.remove_prefix(word.size());
        guard.names_.push_back(host_name_of(word));
    }
    return guard;
}

bool BrowserGuard::names_this_machine(std::string_view host, std::string_view local_address) const {
    const std::string name = host_name_of(host);
    if (name.empty()) {
        return false;
    }
    if (is_loopback_literal(name) || name == local_address) {
        return true;
    }
    for (const auto& allowed : names_) {
        if (name == allowed) {
            return true;
        }
    }
    return false;
}

BrowserVerdict BrowserGuard::judge(const ParsedRequest& request, std::string_view local_address,
                                   bool is_command) const {
    std::string why;
    if (is_cross_site(request, why)) {
        return refuse(why);
    }
    const std::string mark = browser_mark(request);
    if (mark.empty()) {
        return {};
    }
    const std::string* host = request.header("host");
    if (!host || !names_this_machine(*host, local_address)) {
        return refuse("Host: " + (host ? *host : std::string("(none)")) +
                      " does not name this machine");
    }
    if (request.header(lower_case(kPageProofHeader))) {
        return {};
    }
    const std::string* referer = request.header("referer");
    if (is_command && is_navigation(request) && (!referer || url_names_host(*referer, *host))) {
        return {BrowserVerdict::Kind::confirm, "a browser's navigation; asked to confirm"};
    }
    return refuse("a browser's request (" + mark + ") without " + kPageProofHeader +
                  (referer ? ", Referer: " + *referer : std::string()));
}

std::string browser_mark(const ParsedRequest& request) {
    // A browser that sends Sec-Fetch-* sends Site and Dest with Mode; Node's fetch sends Mode
    // alone and is a program.
    static constexpr std::string_view kMarks[] = {
        "sec-fetch-site", "sec-fetch-dest", "sec-fetch-user", "origin", "upgrade-insecure-requests",
        "sec-purpose",    "purpose"};
    for (const auto& [name, value] : request.headers) {
        if (name == "user-agent" && starts_with(value, "Mozilla/")) {
            return "User-Agent: Mozilla/";
        }
        if (starts_with(name, "sec-ch-ua")) {
            return name;
        }
        for (auto mark : kMarks) {
            if (name == mark) {
                return name;
            }
        }
    }
    return {};
}

const std::string& confirmation_page() {
    static const std::string page = build_confirmation_page();
    return page;
}

}  // namespace dravo
