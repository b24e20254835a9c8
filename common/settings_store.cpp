#include "settings_store.h"

#include <cstdint>
#include <optional>
#include <type_traits>

#include "profile_file.h"
#include "text.h"

namespace dravo {
namespace {

constexpr const char* kSection = "Settings";

// A missing key and a key with an empty value are alike.
bool has_value(const ProfileDocument& document, const std::string& key) {
    return !document.read_string(kSection, key, "").empty();
}

std::string item_key(const std::string& key, std::size_t position) {
    return key + std::to_string(position);
}

bool read_bool(const ProfileDocument& document, const std::string& key, bool current) {
    const auto value = trim(document.read_string(kSection, key, current ? "1" : "0"));
    return value == "1" || lower_case(value) == "true";
}

void write_value(ProfileDocument& document, const std::string& key, bool value) {
    document.write_string(kSection, key, value ? "true" : "false");
}

void write_value(ProfileDocument& document, const std::string& key, int value) {
    document.write_string(kSection, key, to_text(static_cast<std::int32_t>(value)));
}

void write_value(ProfileDocument& document, const std::string& key, const std::string& value) {
    document.write_string(kSection, key, value);
}

void write_value(ProfileDocument& document, const std::string& key,
                 const std::vector<std::string>& items) {
    std::size_t position = 1;
    for (const auto& item : items) {
        document.write_string(kSection, item_key(key, position++), item);
    }
    // Blank the stale tail of a longer list saved earlier.
    for (; has_value(document, item_key(key, position)); ++position) {
        document.write_string(kSection, item_key(key, position), "");
    }
}

// The key bound to variable in one of the store's maps, or nullptr.
template <class Value>
const std::string* key_of(const std::map<std::string, Value*>& settings, const Value* variable) {
    for (const auto& [key, bound] : settings) {
        if (bound == variable) {
            return &key;
        }
    }
    return nullptr;
}

}  // namespace

SettingsStore::SettingsStore(std::string file) : file_name(std::move(file)) {}

void SettingsStore::add_bool(const std::string& key, bool& variable, bool fallback) {
    variable = fallback;
    bool_settings[key] = &variable;
}

void SettingsStore::add_int(const std::string& key, int& variable, int fallback) {
    variable = fallback;
    int_settings[key] = &variable;
}

void SettingsStore::add_string(const std::string& key, std::string& variable,
                               const std::string& fallback) {
    variable = fallback;
    string_settings[key] = &variable;
}

void SettingsStore::add_list(const std::string& key, std::vector<std::string>& variable,
                             const std::vector<std::string>& fallback) {
    variable = fallback;
    list_settings[key] = &variable;
}

bool SettingsStore::load(const std::string& file) {
    // The file is read once.
    const auto document = ProfileDocument::load(file.empty() ? file_name : file);
    if (!document) {
        return false;
    }
    for (auto& [key, variable] : bool_settings) {
        *variable = read_bool(*document, key, *variable);
    }
    for (auto& [key, variable] : int_settings) {
        *variable = document->read_int(kSection, key, *variable);
    }
    for (auto& [key, variable] : string_settings) {
        *variable = document->read_string(kSection, key, *variable);
    }
    for (auto& [key, variable] : list_settings) {
        if (!has_value(*document, item_key(key, 1))) {
            continue;  // the list keeps its default
        }
        variable->clear();
        for (std::size_t i = 1; has_value(*document, item_key(key, i)); ++i) {
            variable->push_back(document->read_string(kSection, item_key(key, i), ""));
        }
    }
    return true;
}

bool SettingsStore::save() {
    // All keys are written in one document and one atomic file replacement, so an interrupted
    // save leaves the previous settings whole.
    auto document = ProfileDocument::load(file_name);
    if (!document) {
        return false;
    }
    for (const auto& [key, variable] : bool_settings) {
        write_value(*document, key, *variable);
    }
    for (const auto& [key, variable] : int_settings) {
        write_value(*document, key, *variable);
    }
    for (const auto& [key, variable] : string_settings) {
        write_value(*document, key, *variable);
    }
    for (const auto& [key, variable] : list_settings) {
        write_value(*document, key, *variable);
    }
    return document->commit(file_name);
}

bool SettingsStore::save_setting(const std::string& variable) {
    for (const auto& [key, bound] : string_settings) {
        if (bound == &variable) {
            return profile_write_string(kSection, key, variable, file_name);
        }
    }
    return false;
}

bool SettingsStore::save_settings(std::initializer_list<Variable> variables) {
    auto document = ProfileDocument::load(file_name);
    if (!document) {
        return false;
    }
    for (const auto& variable : variables) {
        const bool bound = std::visit(
            [&](const auto* value) {
                const std::string* key = nullptr;
                using Value = std::remove_cv_t<std::remove_pointer_t<decltype(value)>>;
                if constexpr (std::is_same_v<Value, bool>) {
                    key = key_of(bool_settings, value);
                } else if constexpr (std::is_same_v<Value, int>) {
                    key = key_of(int_settings, value);
                } else if constexpr (std::is_same_v<Value, std::string>) {
                    key = key_of(string_settings, value);
                } else {
                    key = key_of(list_settings, value);
                }
                if (key != nullptr) {
                    write_value(*document, *key, *value);
                }
                return key != nullptr;
            },
            variable);
        if (!bound) {
            return false;
        }
    }
    return document->commit(file_name);
}

}  // namespace dravo
