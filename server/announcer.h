#pragma once
// Makes the server findable on the local network by multicast DNS service discovery: a
// "_dravo._tcp" service, and "_http._tcp" for the browser page when the server serves one. The
// platform's service runs the announcement on a thread of its own, so the listener never waits
// for it. A missing or restarting system service is no error: it is logged once, and the
// announcement comes back with the service. start() and stop() are called from the host's main
// thread (plug-in init and quit); stop() withdraws the services before it returns.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dravo {

struct Announcement {
    std::string name;  // "dravo on <host name>"
    int port = 0;
    bool serves_page = false;
    std::string page_path = "/";
};

// The TXT records of the "_dravo._tcp" service: "txtvers=1", "protocol=1", "page=yes|no",
// "path=<page path>".
std::vector<std::string> announcement_texts(const Announcement& what);

// True when the setting `announce` and the bind address allow an announcement: not a value
// that means off ("0", "off", "no", "false"), and not bound to a loopback address.
bool should_announce(const std::string& announce_setting, const std::string& bind_address);

class Announcer {
public:
    using Log = std::function<void(const std::string&)>;
    virtual ~Announcer() = default;
    // Starts announcing; false when this platform has no way to (nothing was started).
    virtual bool start(const Announcement& what) = 0;
    virtual void stop() = 0;
};

// The platform's announcer; log takes one line for the server log and may be called from the
// announcer's own thread.
std::unique_ptr<Announcer> make_announcer(Announcer::Log log);

}  // namespace dravo
