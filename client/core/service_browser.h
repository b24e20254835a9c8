#pragma once
// Finds the servers that announce themselves on the local network ("_dravo._tcp" by multicast DNS
// service discovery) while it runs, on a thread of its own, so the window never waits for the
// network. The list is kept current as services come and go; found() copies it out.
// Threads: start(), stop() and the destructor on one thread (the user-interface thread); found()
// from any thread (a short lock). The changed callback runs on the browser's own thread, without
// the lock held: it may call found(), must not call start() or stop() (they wait for that thread),
// and should only hand the news on (the menu reads found() when it opens and needs no callback).
// Failures: none is reported. A platform without discovery, a missing system bus or a missing or
// restarting daemon gives an empty list, and browsing comes back by itself with the daemon.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dravo {

struct FoundServer {
    std::string name;     // the service's name, "dravo on music-box"
    std::string host;     // its host name, "music-box.local"
    std::string address;  // its IPv4 address, "192.168.1.20"
    int port = 0;
    std::vector<std::string> texts;  // TXT records, "protocol=1", ...
    bool on_this_machine = false;    // announced by this machine itself

    bool operator==(const FoundServer&) const = default;
};

// The server's URL in the form of the configured ones: "http://<address>:<port>/". The address,
// not the .local name: the name needs a multicast DNS resolver in the system's name lookup (which
// the request library uses), the address needs nothing; IPv4, because the server listens on IPv4
// only (and an IPv6 link-local address is useless without its interface).
std::string server_url(const FoundServer& server);

// The value of TXT record key ("protocol" in "protocol=1"); empty when absent.
std::string text_value(const FoundServer& server, const std::string& key);

class ServiceBrowser {
public:
    using Changed = std::function<void()>;
    virtual ~ServiceBrowser() = default;
    // Starts browsing; changed (may be empty) follows each change of the list. False when this
    // platform cannot browse (nothing was started; found() stays empty).
    virtual bool start(Changed changed = {}) = 0;
    // Ends browsing before it returns; the list empties. Harmless when not started.
    virtual void stop() = 0;
    // The servers found so far, one per name, sorted by name.
    virtual std::vector<FoundServer> found() const = 0;
};

// The platform's browser (Avahi where the build found its client library, else none).
std::unique_ptr<ServiceBrowser> make_service_browser();

}  // namespace dravo
