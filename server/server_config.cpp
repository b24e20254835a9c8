#include "server_config.h"

#include <cstdint>
#include <mutex>
#include <system_error>
#include <utility>

#include "media_cache.h"
#include "server_settings.h"
#include "text.h"

namespace dravo {
namespace {

// The worker must never let an exception end the host: a failed rebuild leaves what the cache
// holds, as a scan that found nothing would.
void rebuild_quietly(MediaCache& cache) {
    try {
        cache.refresh();
    } catch (...) {
    }
}

}  // namespace

std::string with_trailing_separator(std::string root) {
    if (!root.empty() && root.back() != kPathSeparator) root += kPathSeparator;
    return root;
}

ServerConfig::ServerConfig(ServerSettings& settings, MediaCache* cache, MessageBox message)
    : settings_(settings), cache_(cache), message_(std::move(message)) {}

ServerConfig::~ServerConfig() { finish_rebuild(); }

ConfigTexts ServerConfig::texts() const {
    std::lock_guard lock(settings_.guard);
    return {to_text(static_cast<std::int32_t>(settings_.port)), settings_.media_root,
            settings_.file_extensions};
}

void ServerConfig::apply(const ConfigTexts& texts) {
    // No validation: a text that is no number stores 0, as the field's own rule says.
    const int port = static_cast<int>(to_number(texts.port));
    int old_port = 0;
    {
        std::lock_guard lock(settings_.guard);
        old_port = settings_.port;
    }
    // Only this thread writes the port, so it cannot change while the box is open; the box is
    // shown unlocked because it waits for the user and the listener needs the settings.
    if (port != old_port && message_) message_(kPortChangedText, kConfigCaption);
    std::lock_guard lock(settings_.guard);
    settings_.port = port;
    settings_.media_root = with_trailing_separator(texts.media_root);
    settings_.file_extensions = texts.file_extensions;
    settings_.save();
}

void ServerConfig::start_rebuild() {
    if (!cache_ || rebuilding()) return;
    finish_rebuild();
    running_.store(true, std::memory_order_release);
    try {
        worker_ = std::thread([this] {
            rebuild_quietly(*cache_);
            running_.store(false, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        rebuild_quietly(*cache_);
        running_.store(false, std::memory_order_release);
    }
}

void ServerConfig::finish_rebuild() {
    if (worker_.joinable()) worker_.join();
}

std::size_t ServerConfig::files_found() const { return cache_ ? cache_->files_found() : 0; }

}  // namespace dravo
