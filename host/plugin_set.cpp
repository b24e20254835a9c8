#include "plugin_set.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "plugin_library.h"

namespace dravo {

PluginSet::~PluginSet() { unload_all(); }

int PluginSet::load_folder(const std::string& folder, std::vector<std::string>& errors) {
    return load_folders({folder}, errors);
}

int PluginSet::load_folders(const std::vector<std::string>& folders,
                            std::vector<std::string>& errors) {
    std::set<std::string> seen;
    for (const auto& folder : folders) {
        for (const auto& file : plugin_files_of(folder, seen)) {
            std::string reason;
            if (!load_file(file, reason)) {
                errors.push_back(file + ": " + reason);
            }
        }
    }
    return static_cast<int>(plugins_.size());
}

std::vector<std::string> PluginSet::plugin_files_of(const std::string& folder,
                                                    std::set<std::string>& seen) {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (is_plugin_file_name(name) && seen.insert(name).second) {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool PluginSet::load_file(const std::string& path, std::string& error) {
    void* library = open_library(path, error);
    if (library == nullptr) {
        return false;
    }
    auto* entry = reinterpret_cast<PluginEntryFunction>(find_symbol(library, kPluginEntryName));
    PluginRecord* record = entry != nullptr ? entry() : nullptr;
    if (record == nullptr) {
        error = entry == nullptr ? "no plug-in entry" : "the plug-in gave no record";
        close_library(library);
        return false;
    }
    return start(record, library, path, error);
}

bool PluginSet::start(PluginRecord* record, void* library, const std::string& path,
                      std::string& error) {
    if (record->version != kPluginRecordVersion || record->init == nullptr) {
        error = record->init == nullptr ? "the record has no init entry"
                                        : "record version " + std::to_string(record->version) +
                                              ", expected " + std::to_string(kPluginRecordVersion);
        if (library != nullptr) {
            close_library(library);
        }
        return false;
    }
    record->hwndParent = window_;
    record->hDllInstance = library;
    if (const std::int32_t result = record->init(); result != 0) {
        error = "init failed with " + std::to_string(result);
        if (library != nullptr) {
            failed_libraries_.push_back(library);
        }
        return false;
    }
    plugins_.push_back(LoadedPlugin{path, record->description != nullptr ? record->description : "",
                                    library, record});
    return true;
}

void PluginSet::configure(std::size_t index) {
    if (index < plugins_.size() && plugins_[index].record->config != nullptr) {
        plugins_[index].record->config();
    }
}

void PluginSet::quit_all() {
    if (quit_done_) {
        return;
    }
    quit_done_ = true;
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it) {
        if (it->record->quit != nullptr) {
            it->record->quit();
        }
    }
}

void PluginSet::unload_all() {
    quit_all();
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it) {
        if (it->library != nullptr) {
            close_library(it->library);
        }
    }
    plugins_.clear();
    for (void* library : failed_libraries_) {
        close_library(library);
    }
    failed_libraries_.clear();
}

}  // namespace dravo
