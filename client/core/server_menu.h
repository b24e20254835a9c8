#pragma once
// The rules of the Server button's menu: the configured servers first, in their order, then the
// servers found on the network that are not configured, sorted by name; the current one marked.
// Picking a configured one switches to it as the Server button's click does; picking a found one
// adds it to the configured list (written at once) and switches to it.
// User-interface thread only, like the session it drives. A pick adds a found server to the list
// at once; the switch is a session operation, so it runs after one that is running. The browser is
// read when the entries are built (a copy of its list), so a server that comes or goes later
// changes nothing until the menu is built again. Nothing fails: an empty browser gives the
// configured list alone.
#include <string>
#include <vector>

namespace dravo {

class ClientSettings;
class RemoteSession;
class ServiceBrowser;
struct FoundServer;

struct ServerMenuEntry {
    std::string text;  // what the menu shows
    std::string url;   // the server's URL as the settings hold it
    int number = 0;    // the configured entry's number (1-based); 0 for one only found
    bool current = false;
};

// The entry's text for a menu in which '&' marks the shortcut letter: each '&' doubled, so it
// shows as itself.
std::string menu_label(const ServerMenuEntry& entry);

// True when url (a configured server, "http://host:port/") names the found server: by its
// address or host name and its port, or, for a server on this machine, by "localhost".
bool names_found_server(const std::string& url, const FoundServer& server);

class ServerMenu {
public:
    ServerMenu(ClientSettings& settings, RemoteSession& session, const ServiceBrowser& browser);

    std::vector<ServerMenuEntry> entries() const;
    // Switches to the entry's server (adding a found one to the list first).
    void pick(const ServerMenuEntry& entry);

private:
    ClientSettings& settings_;
    RemoteSession& session_;
    const ServiceBrowser& browser_;
};

}  // namespace dravo
