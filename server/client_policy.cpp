#include "client_policy.h"

#include "text.h"

namespace dravo {
namespace {

bool parse_number(std::string_view text, std::uint32_t max, std::uint32_t& out) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    out = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        out = out * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return out <= max;
}

bool parse_address(std::string_view text, std::uint32_t& out) {
    out = 0;
    for (int part = 0; part < 4; ++part) {
        auto dot = text.find('.');
        if ((part < 3) != (dot != std::string_view::npos)) {
            return false;
        }
        std::uint32_t value = 0;
        if (!parse_number(text.substr(0, dot), 255, value)) {
            return false;
        }
        out = (out << 8) | value;
        text = part < 3 ? text.substr(dot + 1) : std::string_view();
    }
    return true;
}

std::uint32_t mask(int length) { return length == 0 ? 0 : ~std::uint32_t{0} << (32 - length); }

// "http://Host:80" -> "host"; the default port of the scheme is dropped so both forms compare.
std::string origin_authority(const std::string& origin) {
    auto scheme_end = origin.find("://");
    if (scheme_end == std::string::npos) {
        return {};
    }
    std::string scheme = lower_case(origin.substr(0, scheme_end));
    std::string authority = lower_case(origin.substr(scheme_end + 3));
    authority = authority.substr(0, authority.find('/'));
    std::string default_port = scheme == "https" ? ":443" : ":80";
    if (authority.size() > default_port.size() &&
        authority.compare(authority.size() - default_port.size(), default_port.size(),
                          default_port) == 0) {
        authority.resize(authority.size() - default_port.size());
    }
    return authority;
}

std::string host_authority(std::string host) {
    host = lower_case(host);
    if (host.size() > 3 && host.compare(host.size() - 3, 3, ":80") == 0) {
        host.resize(host.size() - 3);
    }
    return host;
}

}  // namespace

bool parse_prefix(std::string_view text, AddressPrefix& out) {
    auto slash = text.find('/');
    std::uint32_t length = 32;
    if (slash != std::string_view::npos && !parse_number(text.substr(slash + 1), 32, length)) {
        return false;
    }
    if (!parse_address(text.substr(0, slash), out.address)) {
        return false;
    }
    out.length = static_cast<int>(length);
    out.address &= mask(out.length);
    return true;
}

ClientPolicy ClientPolicy::from_settings(const std::string& bind_address,
                                         const std::string& allowed_clients,
                                         std::vector<std::string>& problems) {
    ClientPolicy policy;
    policy.bind_address_ = trim(bind_address);
    std::string_view rest = allowed_clients;
    const char* blanks = " \t\r\n";
    while (true) {
        auto start = rest.find_first_not_of(blanks);
        if (start == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(start);
        auto word = rest.substr(0, rest.find_first_of(blanks));
        rest.remove_prefix(word.size());
        policy.restricted_ = true;
        AddressPrefix prefix;
        if (parse_prefix(word, prefix)) {
            policy.allowed_.push_back(prefix);
        } else {
            problems.push_back(std::string(word));
        }
    }
    return policy;
}

bool ClientPolicy::allows(std::string_view peer_address) const {
    if (!restricted_) {
        return true;
    }
    std::uint32_t address = 0;
    if (!parse_address(peer_address, address)) {
        return false;
    }
    for (const auto& p : allowed_) {
        if ((address & mask(p.length)) == p.address) {
            return true;
        }
    }
    return false;
}

bool is_cross_site(const ParsedRequest& request, std::string& why) {
    if (const std::string* site = request.header("sec-fetch-site")) {
        std::string value = lower_case(*site);
        if (value == "cross-site" || value == "same-site") {
            why = "Sec-Fetch-Site: " + *site;
            return true;
        }
    }
    const std::string* origin = request.header("origin");
    if (!origin) {
        return false;
    }
    const std::string* host = request.header("host");
    if (host && url_names_host(*origin, *host)) {
        return false;
    }
    why = "Origin: " + *origin + ", Host: " + (host ? *host : std::string("(none)"));
    return true;
}

bool url_names_host(const std::string& url, const std::string& host) {
    const std::string authority = origin_authority(url);
    return !authority.empty() && authority == host_authority(host);
}

}  // namespace dravo
