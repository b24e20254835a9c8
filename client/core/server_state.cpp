#include "server_state.h"

#include <cctype>
#include <type_traits>
#include <nlohmann/json.hpp>

namespace dravo {
namespace {

template <typename T>
void take(const nlohmann::json& json, const char* key, T& out) {
    const auto found = json.find(key);
    if (found == json.end()) {
        return;
    }
    if constexpr (std::is_same_v<T, bool>) {
        if (found->is_boolean()) {
            out = found->get<bool>();
        }
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (found->is_string()) {
            out = found->get<std::string>();
        }
    } else if (found->is_number_integer()) {
        out = found->get<T>();
    }
}

bool is_drive_path(std::string_view name) {
    return name.size() > 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
           (name[2] == '\\' || name[2] == '/');
}

}  // namespace

std::optional<ServerState> parse_server_state(std::string_view text) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object() || !json.contains("rev")) {
        return std::nullopt;
    }
    ServerState state;
    take(json, "rev", state.revision);
    take(json, "list_rev", state.list_revision);
    take(json, "state", state.play_state);
    take(json, "index", state.index);
    take(json, "position_ms", state.position_ms);
    take(json, "length_s", state.length_s);
    return state;
}

std::optional<std::string> parse_list_entry(std::string_view text, int index) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object() || !json.contains("items") || !json["items"].is_array()) {
        return std::nullopt;
    }
    for (const auto& item : json["items"]) {
        if (item.is_array() && item.size() == 2 && item[0].is_number_integer() &&
            item[0].get<std::int64_t>() == index && item[1].is_string()) {
            return item[1].get<std::string>();
        }
    }
    return std::nullopt;
}

std::string file_url(std::string_view name) {
    std::string path;
    if (is_drive_path(name)) {
        path = "/" + std::string(name);
        for (auto& c : path) {
            c = c == '\\' ? '/' : c;
        }
    } else if (!name.empty() && name[0] == '/') {
        path = std::string(name);
    } else {
        return {};
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~' ||
            (c == ':' && url.size() == 9)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

}  // namespace dravo
