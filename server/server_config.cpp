#include "server_config.h"

#include <cstdint>
#include <system_error>
#include <utility>

#include "media_cache.h"
#include "server_settings.h"
#include "text.h"

namespace dravo {
namespace {

// The worker must never let an exception end the host: a failed rebuild leaves what the cache
// holds, as a scan that found nothing would.
void rebuild_quietly(MediaCache& cache, const MediaSource& source) {
    try {
        cache.refresh(source);
    } catch (...) {
    }
}

}  // namespace

ServerConfig::ServerConfig(ServerSettings& settings, MediaCache* cache, MessageBox message)
    : settings_(settings), cache_(cache), message_(std::move(message)) {}

ServerConfig::~ServerConfig() { finish_rebuild(); }

ConfigTexts ServerConfig::texts() const {
    const ServerValues values = settings_.values();
    return {to_text(static_cast<std::int32_t>(values.port)), values.media_root,
            values.file_extensions};
}

void ServerConfig::apply(const ConfigTexts& texts) {
    // No validation: a text that is no number stores 0, as the field's own rule says.
    const int port = static_cast<int>(to_number(texts.port));
    // Only this thread writes the port, so it cannot change while the box is open.
    if (port != settings_.port() && message_) {
        message_(kPortChangedText, kConfigCaption);
    }
    // A file that cannot be written keeps the values for this run, as the dialog has no word
    // for it.
    settings_.save_config(port, with_trailing_separator(texts.media_root), texts.file_extensions);
}

void ServerConfig::start_rebuild() {
    if (!cache_ || rebuilding()) {
        return;
    }
    finish_rebuild();
    const ServerValues values = settings_.values();
    const MediaSource source{with_trailing_separator(values.media_root), values.file_extensions};
    running_.store(true, std::memory_order_release);
    try {
        worker_ = std::thread([this, source] {
            rebuild_quietly(*cache_, source);
            running_.store(false, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        rebuild_quietly(*cache_, source);
        running_.store(false, std::memory_order_release);
    }
}

void ServerConfig::finish_rebuild() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

std::size_t ServerConfig::files_found() const { return cache_ ? cache_->files_found() : 0; }

}  // namespace dravo
