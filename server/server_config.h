#pragma once
// What the configuration dialog does, free of any toolkit so that it can be driven without a
// screen: it fills the three edits from the settings, applies their texts back, and rebuilds the
// media cache on a worker thread while the dialog stays responsive.
//
// Threads: everything runs on the host's main thread (the dialog's), except the worker that
// start_rebuild() starts. rebuilding() and files_found() are for the dialog to poll.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace dravo {

class MediaCache;
class ServerSettings;

// The texts of the dialog's three edits.
struct ConfigTexts {
    std::string port;
    std::string media_root;
    std::string file_extensions;
};

inline constexpr const char* kPortChangedText =
    "Changes to server port won't take effect until winamp is restarted.";
inline constexpr const char* kConfigCaption = "dravo_srv";

class ServerConfig {
public:
    // Shows text under caption with a single OK button, and returns when the user closed it.
    using MessageBox = std::function<void(const std::string& text, const std::string& caption)>;

    // cache may be null (nothing to rebuild).
    ServerConfig(ServerSettings& settings, MediaCache* cache, MessageBox message);
    // Waits for a rebuild still running.
    ~ServerConfig();
    ServerConfig(const ServerConfig&) = delete;
    ServerConfig& operator=(const ServerConfig&) = delete;

    // The settings as the edits show them at first.
    ConfigTexts texts() const;
    // Stores the three texts and saves all settings; tells the user when the port changes.
    void apply(const ConfigTexts& texts);
    // Rebuilds the cache from the settings as they stand, on a worker thread. Where no thread
    // can be started the rebuild runs here before returning. Nothing while one is running.
    void start_rebuild();
    // True from start_rebuild() until the worker has finished scanning and writing.
    bool rebuilding() const { return running_.load(std::memory_order_acquire); }
    // Waits for the worker, if any, and reaps it.
    void finish_rebuild();
    // Files found so far by the running scan, or by the last one.
    std::size_t files_found() const;

private:
    ServerSettings& settings_;
    MediaCache* cache_;
    MessageBox message_;
    std::thread worker_;
    std::atomic<bool> running_{false};
};

}  // namespace dravo
