#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include "announcer.h"
#include "avahi_link.h"
#include "remote_protocol.h"

namespace dravo {
namespace {

// The link's thread is the announcer's: every callback below runs on it, and start() and stop()
// touch the group only before that thread starts and after it has ended.

class AvahiAnnouncer final : public Announcer {
public:
    explicit AvahiAnnouncer(Log log) : log_(std::move(log)) {}
    ~AvahiAnnouncer() override { stop(); }

    bool start(const Announcement& what) override {
        stop();
        what_ = what;
        name_ = what.name;
        return link_.start(
            {[this](AvahiClient* client, AvahiClientState state) { client_changed(client, state); },
             [this] { group_ = nullptr; },  // freed with the client
             [this](int error) { waiting(error); }});
    }

    // Freeing the client withdraws its services from the daemon.
    void stop() override {
        link_.stop();
        group_ = nullptr;
    }

private:
    static void on_group(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self) {
        static_cast<AvahiAnnouncer*>(self)->group_changed(group, state);
    }

    // Only the first of a run of failures is logged.
    void waiting(int error) {
        if (!told_waiting_) {
            log_("Network announcement waits for the Avahi daemon" +
                 (error == AVAHI_OK ? std::string()
                                    : " (" + std::string(avahi_strerror(error)) + ")"));
        }
        told_waiting_ = true;
    }

    void client_changed(AvahiClient* client, AvahiClientState state) {
        switch (state) {
            case AVAHI_CLIENT_S_RUNNING:
                told_waiting_ = false;
                publish(client);
                break;
            case AVAHI_CLIENT_S_COLLISION:
            case AVAHI_CLIENT_S_REGISTERING:
                if (group_) {
                    avahi_entry_group_reset(group_);
                }
                break;
            case AVAHI_CLIENT_CONNECTING:
                // The daemon went away: its groups are gone with it; publish afresh when it
                // returns.
                if (group_) {
                    avahi_entry_group_free(group_);
                }
                group_ = nullptr;
                waiting(avahi_client_errno(client));
                break;
            case AVAHI_CLIENT_FAILURE:
                // The bus itself went away: the link makes a new client later.
                waiting(avahi_client_errno(client));
                break;
        }
    }

    void group_changed(AvahiEntryGroup* group, AvahiEntryGroupState state) {
        if (state == AVAHI_ENTRY_GROUP_COLLISION) {
            rename();
            publish(avahi_entry_group_get_client(group));
        } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
            log_("Network announcement failed: " + std::string(avahi_strerror(avahi_client_errno(
                                                       avahi_entry_group_get_client(group)))));
        }
    }

    void rename() {
        char* other = avahi_alternative_service_name(name_.c_str());
        if (other) {
            name_ = other;
        }
        avahi_free(other);
        if (group_) {
            avahi_entry_group_reset(group_);
        }
    }

    void publish(AvahiClient* client) {
        if (!group_) {
            group_ = avahi_entry_group_new(client, &AvahiAnnouncer::on_group, this);
        }
        if (!group_ || !avahi_entry_group_is_empty(group_)) {
            return;
        }
        int result = add(group_, remote::kServiceType, announcement_texts(what_));
        if (result == AVAHI_OK && what_.serves_page) {
            result = add(group_, "_http._tcp", {"path=" + what_.page_path});
        }
        if (result == AVAHI_ERR_COLLISION) {
            rename();
            publish(client);
            return;
        }
        if (result == AVAHI_OK) {
            result = avahi_entry_group_commit(group_);
        }
        if (result != AVAHI_OK) {
            log_("Network announcement failed: " + std::string(avahi_strerror(result)));
        }
    }

    int add(AvahiEntryGroup* group, const char* type, const std::vector<std::string>& texts) {
        AvahiStringList* list = nullptr;
        for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
            list = avahi_string_list_add(list, it->c_str());
        }
        const int result = avahi_entry_group_add_service_strlst(
            group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), name_.c_str(), type,
            nullptr, nullptr, static_cast<std::uint16_t>(what_.port), list);
        avahi_string_list_free(list);
        return result;
    }

    Log log_;
    Announcement what_;
    std::string name_;
    AvahiLink link_;
    AvahiEntryGroup* group_ = nullptr;
    bool told_waiting_ = false;
};

}  // namespace

std::unique_ptr<Announcer> make_announcer(Announcer::Log log) {
    return std::make_unique<AvahiAnnouncer>(std::move(log));
}

}  // namespace dravo
