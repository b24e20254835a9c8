#include "server_menu.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "client_settings.h"
#include "remote_protocol.h"
#include "remote_session.h"
#include "service_browser.h"
#include "text.h"

namespace dravo {
namespace {

constexpr std::string_view kScheme = "http://";
constexpr int kDefaultPort = 80;

struct HostPort {
    std::string host;
    int port = kDefaultPort;
};

// "http://Host:8081/..." gives {"host", 8081}; nothing for another scheme or a bad port.
std::optional<HostPort> host_port_of(const std::string& url) {
    const std::string text = lower_case(url);
    if (text.rfind(kScheme, 0) != 0) {
        return std::nullopt;
    }
    const std::string authority =
        text.substr(kScheme.size(), text.find('/', kScheme.size()) - kScheme.size());
    const auto colon = authority.rfind(':');
    if (colon == std::string::npos) {
        return HostPort{authority};
    }
    int port = 0;
    const char* first = authority.data() + colon + 1;
    const char* last = authority.data() + authority.size();
    const auto [end, error] = std::from_chars(first, last, port);
    if (error != std::errc() || end != last || port <= 0) {
        return std::nullopt;
    }
    return HostPort{authority.substr(0, colon), port};
}

bool speaks_our_protocol(const FoundServer& server) {
    // A server that announces another version of the command protocol would not understand us.
    const std::string version = text_value(server, std::string(remote::kProtocolKey));
    return version.empty() || version == remote::kProtocolVersion;
}

}  // namespace

bool names_found_server(const std::string& url, const FoundServer& server) {
    const auto target = host_port_of(url);
    if (!target || target->port != server.port) {
        return false;
    }
    const std::string& host = target->host;
    return host == server.address || host == lower_case(server.host) ||
           (server.on_this_machine && (host == "localhost" || host == "127.0.0.1"));
}

std::string menu_label(const ServerMenuEntry& entry) {
    std::string label;
    for (const char c : entry.text) {
        label += c == '&' ? std::string("&&") : std::string(1, c);
    }
    return label;
}

ServerMenu::ServerMenu(ClientSettings& settings, RemoteSession& session,
                       const ServiceBrowser& browser)
    : settings_(settings), session_(session), browser_(browser) {}

std::vector<ServerMenuEntry> ServerMenu::entries() const {
    auto found = browser_.found();
    std::erase_if(found, [](const FoundServer& server) { return !speaks_our_protocol(server); });
    std::vector<ServerMenuEntry> entries;
    for (std::size_t i = 0; i < settings_.servers.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string& url = settings_.servers[i];
        ServerMenuEntry entry{url, url, number, number == settings_.current_server};
        const auto same = std::find_if(found.begin(), found.end(), [&](const FoundServer& server) {
            return names_found_server(url, server);
        });
        if (same != found.end()) {
            entry.text += " (" + same->name + ")";
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& server : found) {
        const bool configured =
            std::any_of(settings_.servers.begin(), settings_.servers.end(),
                        [&](const std::string& url) { return names_found_server(url, server); });
        if (!configured) {
            entries.push_back(
                {server.name + " (" + server.address + ":" + std::to_string(server.port) + ")",
                 server_url(server), 0, false});
        }
    }
    return entries;
}

void ServerMenu::pick(const ServerMenuEntry& entry) {
    const int number = entry.number > 0 ? entry.number : settings_.add_server(entry.url);
    session_.switch_to_server(number);
}

}  // namespace dravo
