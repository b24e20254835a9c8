#pragma once
// Which requests a web browser sends may run a command. Over plain http to a name that is not
// localhost a browser marks neither a foreign page's <img>, <script>, form or no-cors fetch
// with Origin or Sec-Fetch-*, so the rule does not wait for those: a request that carries any
// mark only a browser adds (a "Mozilla/" agent, Sec-Fetch-Site/Dest/User, Sec-CH-UA*, Origin,
// Upgrade-Insecure-Requests, a prefetch's Purpose) runs a command only when
//   - its Host names this machine (an address of it, localhost, its host name, <name>.local or a
//     name from allowed_hosts), which a DNS-rebound page cannot fake, and
//   - it carries kPageProofHeader, which a script may add only to a request to its own origin:
//     to another origin the header needs a CORS preflight, which this server never grants.
// A request with none of these marks (our client, curl, wget, scripts) is not a browser's and
// is judged by nothing here. A browser's top-level navigation to a command (a typed URL, a
// bookmark) gets a page of the server's own that runs it with the proof on one press.
// Built once at start; read-only afterwards, so any thread may use it. Failure is a verdict.
#include <string>
#include <string_view>
#include <vector>

#include "request.h"

namespace dravo {

// The proof a page of this server adds to its own requests (name as sent; any value).
inline constexpr const char* kPageProofHeader = "X-Dravo-Remote";

struct BrowserVerdict {
    enum class Kind {
        run,      // not a browser's, or a browser's with the proof from a name of this machine
        confirm,  // a navigation to a command: answer with the confirmation page, run nothing
        refuse,   // the header alone, nothing runs
    };
    Kind kind = Kind::run;
    std::string why;  // for the log, when not run
};

class BrowserGuard {
public:
    // allowed_hosts: white-space separated host names (a port is ignored) a browser may use
    // besides the machine's own names. machine_name: the host name of this machine.
    static BrowserGuard from_settings(const std::string& machine_name,
                                      const std::string& allowed_hosts);

    // Refuses what is_cross_site refuses, then applies the rule above. local_address: the dotted
    // address the request arrived at; is_command: the path names a command (only those are
    // offered for confirmation).
    BrowserVerdict judge(const ParsedRequest& request, std::string_view local_address,
                         bool is_command) const;

    // True when a browser's Host header (name or literal, with or without port) names this
    // machine as it was reached.
    bool names_this_machine(std::string_view host, std::string_view local_address) const;

private:
    std::vector<std::string> names_;  // lower-case, without port or trailing dot
};

// The browser mark found in the request, or empty when it carries none.
std::string browser_mark(const ParsedRequest& request);

// The confirmation page, header and body, answered to a browser's navigation to a command.
const std::string& confirmation_page();

}  // namespace dravo
