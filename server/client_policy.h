#pragma once
// Who may talk to the server, and which requests are refused as cross-site.
// Built once at start; read-only afterwards, so any thread may read it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "request.h"

namespace dravo {

struct AddressPrefix {
    std::uint32_t address = 0;  // IPv4, host byte order
    int length = 32;
};

// "a.b.c.d" or "a.b.c.d/n"; false for anything else.
bool parse_prefix(std::string_view text, AddressPrefix& out);

class ClientPolicy {
public:
    // allowed_clients: white-space separated addresses or CIDR prefixes; empty lets everyone
    // in. Entries that cannot be read are named in problems and let nobody in.
    static ClientPolicy from_settings(const std::string& bind_address,
                                      const std::string& allowed_clients,
                                      std::vector<std::string>& problems);

    const std::string& bind_address() const { return bind_address_; }
    bool allows(std::string_view peer_address) const;

private:
    std::string bind_address_;
    std::vector<AddressPrefix> allowed_;
    bool restricted_ = false;
};

// A browser's request made on behalf of another site: an Origin naming another host than the
// Host header, or Sec-Fetch-Site "cross-site" or "same-site". Requests without these headers
// (scripts, our client) are never cross-site. why says what gave it away.
bool is_cross_site(const ParsedRequest& request, std::string& why);

// True when the scheme://authority at the start of url names the same host and port as a Host
// header (letter case and the scheme's default port aside).
bool url_names_host(const std::string& url, const std::string& host);

}  // namespace dravo
