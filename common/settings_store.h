#pragma once
// Typed settings bound to keys of the "Settings" section of one INI file.
// A store is meant for one thread at a time; owners that share one between threads guard it.
#include <initializer_list>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace dravo {

class SettingsStore {
public:
    explicit SettingsStore(std::string file);
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    virtual ~SettingsStore() = default;

    // Each assigns the default to the variable at once and binds key to it (a rebind replaces).
    void add_bool(const std::string& key, bool& variable, bool fallback);
    void add_int(const std::string& key, int& variable, int fallback);
    void add_string(const std::string& key, std::string& variable, const std::string& fallback);
    void add_list(const std::string& key, std::vector<std::string>& variable,
                  const std::vector<std::string>& fallback);

    // Fills every bound variable from the file (file_name when the argument is empty); missing
    // keys keep the variables' current values. A missing file is no failure (it has no keys);
    // false when the file exists but cannot be read, and then nothing changes.
    bool load(const std::string& file = {});
    // Writes every bound variable to file_name in one atomic replacement. False when the file
    // could not be read or written; the previous file is then left whole.
    bool save();
    // Writes the one string setting bound to this variable; false when none is bound to it or
    // the file could not be written.
    bool save_setting(const std::string& variable);

    // A bound variable of any kind, named by its address.
    using Variable =
        std::variant<const bool*, const int*, const std::string*, const std::vector<std::string>*>;
    // Writes the settings bound to these variables, each as save() writes it, and no others, in
    // one atomic replacement of the file: for values that change while the program runs and must
    // survive a crash. False, with the file left as it was, when a variable is bound to no
    // setting or the file could not be read or written.
    bool save_settings(std::initializer_list<Variable> variables);

    std::string file_name;

protected:
    std::map<std::string, bool*> bool_settings;
    std::map<std::string, int*> int_settings;
    std::map<std::string, std::string*> string_settings;
    std::map<std::string, std::vector<std::string>*> list_settings;
};

}  // namespace dravo
