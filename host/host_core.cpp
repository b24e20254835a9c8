#include "host_core.h"

#include <vector>

#include "host_state.h"
#include "plugin_set.h"

namespace dravo {

namespace {

// Saving a long playlist takes a few milliseconds: not more often than this.
constexpr auto kSaveInterval = std::chrono::seconds(2);

}  // namespace

HostCore::HostCore(AudioEngine& engine, TitleReader titles, std::function<void()> wake,
                   HostWindow::MessageBoxSink message_box, std::string state_folder,
                   std::uint32_t shuffle_seed)
    : engine_(engine), model_(engine, std::move(titles), shuffle_seed),
      dispatcher_(model_, [this] { request_close(); }),
      queue_([this](const Message& message,
                    bool posted) { return dispatcher_.dispatch(message, posted); },
             std::move(wake)),
      reader_(model_.snapshots(), engine), window_(queue_, reader_, std::move(message_box)),
      state_folder_(std::move(state_folder)), last_save_(std::chrono::steady_clock::now()) {}

void HostCore::restore() {
    if (state_folder_.empty()) {
        return;
    }
    HostState state = load_host_state(state_folder_);
    model_.add(std::move(state.playlist));
    model_.set_current(state.position);
    model_.set_volume(state.volume);
    model_.set_shuffle(state.shuffle);
    model_.set_repeat(state.repeat);
    saved_playlist_revision_ = model_.playlist_revision();
    saved_settings_revision_ = model_.settings_revision();
}

bool HostCore::pump() {
    queue_.drain();
    engine_.process_events();
    if (std::chrono::steady_clock::now() - last_save_ >= kSaveInterval) {
        save();
    }
    return !close_requested_;
}

bool HostCore::save() {
    last_save_ = std::chrono::steady_clock::now();
    if (state_folder_.empty()) {
        return true;
    }
    bool saved = true;
    if (model_.playlist_revision() != saved_playlist_revision_) {
        std::vector<std::string> entries;
        entries.reserve(static_cast<std::size_t>(model_.size()));
        for (int i = 0; i < model_.size(); ++i) {
            entries.push_back(*model_.file_name(i));
        }
        if (save_host_playlist(state_folder_, entries)) {
            saved_playlist_revision_ = model_.playlist_revision();
        } else {
            saved = false;
        }
    }
    if (model_.settings_revision() != saved_settings_revision_) {
        const HostState state{
            {}, model_.current(), model_.volume(), model_.shuffle(), model_.repeat()};
        if (save_host_settings(state_folder_, state)) {
            saved_settings_revision_ = model_.settings_revision();
        } else {
            saved = false;
        }
    }
    return saved;
}

bool HostCore::shutdown(PluginSet& plugins) {
    close_requested_ = true;
    queue_.close();
    plugins.quit_all();
    model_.stop();
    const bool saved = save();
    plugins.unload_all();
    return saved;
}

}  // namespace dravo
