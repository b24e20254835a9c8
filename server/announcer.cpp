#include "announcer.h"

#include "remote_protocol.h"
#include "text.h"

namespace dravo {

std::vector<std::string> announcement_texts(const Announcement& what) {
    return {"txtvers=1",
            std::string(remote::kProtocolKey) + "=" + std::string(remote::kProtocolVersion),
            std::string("page=") + (what.serves_page ? "yes" : "no"), "path=" + what.page_path};
}

bool should_announce(const std::string& announce_setting, const std::string& bind_address) {
    const std::string value = lower_case(trim(announce_setting));
    for (const char* off : {"0", "off", "no", "false"}) {
        if (value == off) {
            return false;
        }
    }
    // Only this machine could reach a server bound to loopback: nobody to tell.
    const std::string bound = trim(bind_address);
    return bound.rfind("127.", 0) != 0 && bound != "localhost";
}

}  // namespace dravo
