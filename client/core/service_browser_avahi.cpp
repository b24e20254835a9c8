#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/strlst.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>

#include "avahi_link.h"
#include "remote_protocol.h"
#include "service_browser.h"

namespace dravo {
namespace {

// The link's thread is the browser's: every callback below runs on it, and start() and stop()
// touch the sightings only before that thread starts and after it has ended. Only found_ is
// shared, under mutex_.

// One sighting: the same service may be seen on several interfaces and protocols.
using Key = std::tuple<AvahiIfIndex, AvahiProtocol, std::string, std::string>;

struct Sighting {
    AvahiServiceResolver* resolver = nullptr;  // kept open: it reports later changes too
    std::optional<FoundServer> resolved;
};

// Avahi keeps the records last first; they come out in the order they were announced.
std::vector<std::string> texts_of(AvahiStringList* list) {
    std::vector<std::string> texts;
    for (; list; list = avahi_string_list_get_next(list)) {
        const auto* text = reinterpret_cast<const char*>(avahi_string_list_get_text(list));
        texts.emplace(texts.begin(), text, avahi_string_list_get_size(list));
    }
    return texts;
}

class AvahiDiscovery final : public ServiceBrowser {
public:
    ~AvahiDiscovery() override { stop(); }

    bool start(Changed changed) override {
        stop();
        changed_ = std::move(changed);
        AvahiLink::Callbacks callbacks;
        callbacks.changed = [this](AvahiClient* client, AvahiClientState state) {
            client_changed(client, state);
        };
        callbacks.dropped = [this] { forget_client(); };
        return link_.start(std::move(callbacks));
    }

    void stop() override {
        link_.stop();  // and the browser and resolvers with the client
        browser_ = nullptr;
        sightings_.clear();
        const std::lock_guard lock(mutex_);
        found_.clear();
    }

    std::vector<FoundServer> found() const override {
        const std::lock_guard lock(mutex_);
        return found_;
    }

private:
    static void on_browse(::AvahiServiceBrowser* avahi_browser, AvahiIfIndex interface,
                          AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
                          const char* type, const char* domain, AvahiLookupResultFlags, void* self);

    static void on_resolve(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol,
                           AvahiResolverEvent event, const char* name, const char*, const char*,
                           const char* host_name, const AvahiAddress* address, std::uint16_t port,
                           AvahiStringList* txt, AvahiLookupResultFlags flags, void* self) {
        auto& browser = *static_cast<AvahiDiscovery*>(self);
        const auto it =
            std::find_if(browser.sightings_.begin(), browser.sightings_.end(),
                         [resolver](const auto& s) { return s.second.resolver == resolver; });
        if (it == browser.sightings_.end()) {
            return;
        }
        it->second.resolved.reset();
        if (event == AVAHI_RESOLVER_FOUND && name && address &&
            address->proto == AVAHI_PROTO_INET) {
            char text[AVAHI_ADDRESS_STR_MAX] = {};
            avahi_address_snprint(text, sizeof text, address);
            it->second.resolved =
                FoundServer{name,          host_name ? host_name : "",
                            text,          port,
                            texts_of(txt), (flags & AVAHI_LOOKUP_RESULT_LOCAL) != 0};
        }
        browser.publish();
    }

    // The client goes with everything it made; what it had found is no longer known.
    void forget_client() {
        browser_ = nullptr;
        sightings_.clear();
        publish();
    }

    void client_changed(AvahiClient* client, AvahiClientState state) {
        if (state == AVAHI_CLIENT_S_RUNNING) {
            if (!browser_) {
                browser_ = avahi_service_browser_new(client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                     remote::kServiceType, nullptr,
                                                     AvahiLookupFlags(0), &on_browse, this);
            }
        } else if (state == AVAHI_CLIENT_CONNECTING) {
            // The daemon went away and its browsers with it: browse afresh when it returns.
            if (browser_) {
                avahi_service_browser_free(browser_);
            }
            browser_ = nullptr;
            drop_sightings();
        } else if (state == AVAHI_CLIENT_FAILURE) {
            drop_sightings();  // the bus went away: the link makes a new client later
        }
    }

    void drop_sightings() {
        for (auto& [key, sighting] : sightings_) {
            if (sighting.resolver) {
                avahi_service_resolver_free(sighting.resolver);
            }
        }
        sightings_.clear();
        publish();
    }

    void seen(AvahiClient* client, AvahiIfIndex interface, AvahiProtocol protocol, const char* name,
              const char* domain) {
        auto& sighting = sightings_[{interface, protocol, name, domain}];
        if (!sighting.resolver) {
            // IPv4 addresses only: the server listens on IPv4.
            sighting.resolver = avahi_service_resolver_new(
                client, interface, protocol, name, remote::kServiceType, domain, AVAHI_PROTO_INET,
                AvahiLookupFlags(0), &on_resolve, this);
        }
    }

    void gone(AvahiIfIndex interface, AvahiProtocol protocol, const char* name,
              const char* domain) {
        const auto it = sightings_.find({interface, protocol, name, domain});
        if (it == sightings_.end()) {
            return;
        }
        if (it->second.resolver) {
            avahi_service_resolver_free(it->second.resolver);
        }
        sightings_.erase(it);
        publish();
    }

    // The resolved sightings, one per name (the first in key order), sorted by name.
    void publish() {
        std::vector<FoundServer> list;
        for (const auto& [key, sighting] : sightings_) {
            if (sighting.resolved) {
                list.push_back(*sighting.resolved);
            }
        }
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.name < b.name; });
        list.erase(std::unique(list.begin(), list.end(),
                               [](const auto& a, const auto& b) { return a.name == b.name; }),
                   list.end());
        {
            const std::lock_guard lock(mutex_);
            if (list == found_) {
                return;
            }
            found_ = std::move(list);
        }
        if (changed_) {
            changed_();
        }
    }

    Changed changed_;
    AvahiLink link_;
    ::AvahiServiceBrowser* browser_ = nullptr;  // Avahi's, not this class
    std::map<Key, Sighting> sightings_;
    mutable std::mutex mutex_;
    std::vector<FoundServer> found_;
};

void AvahiDiscovery::on_browse(::AvahiServiceBrowser* avahi_browser, AvahiIfIndex interface,
                               AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
                               const char*, const char* domain, AvahiLookupResultFlags,
                               void* self) {
    auto& browser = *static_cast<AvahiDiscovery*>(self);
    if (!name || !domain) {
        return;  // AVAHI_BROWSER_FAILURE and the end-of-cache notes name nothing
    }
    if (event == AVAHI_BROWSER_NEW) {
        browser.seen(avahi_service_browser_get_client(avahi_browser), interface, protocol, name,
                     domain);
    } else if (event == AVAHI_BROWSER_REMOVE) {
        browser.gone(interface, protocol, name, domain);
    }
}

}  // namespace

std::unique_ptr<ServiceBrowser> make_service_browser() {
    return std::make_unique<AvahiDiscovery>();
}

}  // namespace dravo
