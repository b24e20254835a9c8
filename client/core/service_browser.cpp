#include "service_browser.h"

namespace dravo {

std::string server_url(const FoundServer& server) {
    return "http://" + server.address + ":" + std::to_string(server.port) + "/";
}

std::string text_value(const FoundServer& server, const std::string& key) {
    const std::string prefix = key + "=";
    for (const auto& text : server.texts) {
        if (text.rfind(prefix, 0) == 0) {
            return text.substr(prefix.size());
        }
    }
    return {};
}

}  // namespace dravo
