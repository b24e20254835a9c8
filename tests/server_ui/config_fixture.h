#pragma once
// A plug-in folder with its settings and media cache, a music tree, and a host that answers
// nothing and records message boxes: what the configuration tests share. Test thread only,
// except QuietHost, which any thread may call.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "media_cache.h"
#include "plugin.h"
#include "plugin_host.h"
#include "server_config.h"
#include "server_settings.h"
#include "temp_dir.h"
#include "text.h"

namespace dravo::test {

using Box = std::pair<std::string, std::string>;  // text, caption

class QuietHost : public PluginHost {
public:
    explicit QuietHost(std::string directory) : directory_(std::move(directory)) {}
    std::intptr_t send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
    bool post(std::uint32_t, std::uintptr_t, std::intptr_t) override { return false; }
    void message_box(const std::string& text, const std::string& caption) override {
        std::lock_guard lock(mutex_);
        boxes_.emplace_back(text, caption);
    }
    std::string module_directory() const override { return directory_; }
    std::vector<Box> boxes() const {
        std::lock_guard lock(mutex_);
        return boxes_;
    }

private:
    std::string directory_;
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
};

// Files relative to a root, created with their folders.
inline void make_files(const std::string& root, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        std::filesystem::path path = std::filesystem::path(root) / name;
        std::filesystem::create_directories(path.parent_path());
        write_file(path.string(), "");
    }
}

class ConfigFixture {
public:
    ConfigFixture() : module_(temp_.slash()), cache_(module_) {
        settings_.load(module_ + kServerIniName);
    }

    std::string ini() const { return read_file(settings_.file_name()); }
    // What the settings name for a scan now.
    MediaSource source() const {
        return {with_trailing_separator(settings_.media_root()), settings_.file_extensions()};
    }
    std::string cache_file() const { return read_file(cache_.cache_file_path()); }
    // A folder under the temporary one, without a trailing separator.
    std::string folder(const std::string& name) const { return temp_.file(name); }
    ServerConfig::MessageBox capture() {
        return [this](const std::string& text, const std::string& caption) {
            boxes_.emplace_back(text, caption);
        };
    }
    // Starts plugin on a quiet host in the module folder, without its server thread; the host
    // stays the plug-in's.
    QuietHost* start_plugin(Plugin& plugin) {
        plugin.set_thread_starter([](std::function<void()>) { return std::thread(); });
        auto host = std::make_unique<QuietHost>(module_);
        QuietHost* seen = host.get();
        plugin.init(std::move(host));
        return seen;
    }

    TempDir temp_;
    std::string module_;
    ServerSettings settings_;
    MediaCache cache_;
    std::vector<Box> boxes_;
};

inline const Box kPortBox{kPortChangedText, kConfigCaption};

}  // namespace dravo::test
