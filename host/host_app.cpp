#include "host_app.h"

#include <cstdio>
#include <random>

#include "host_state.h"
#include "mpv_audio_engine.h"
#include "plugin_folders.h"
#include "playlist_files.h"
#include "stop_signals.h"
#include "track_titles.h"

namespace dravo {

namespace {

// Idle wake-ups only serve the delayed save.
constexpr int kIdleWaitMs = 1000;

void write_stderr(const std::string& line) {
    // One call per line keeps lines from different threads whole (the stream locks per call).
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

HostApp::~HostApp() { finish(); }

bool HostApp::start(BoxPresenter presenter, std::string& error) {
    presenter_ = std::move(presenter);
    if (!waker_.valid()) {
        error = "cannot create the wake-up descriptor";
        return false;
    }
    engine_ = MpvAudioEngine::create(
        options_.audio_output, [this] { waker_.wake(); }, error);
    if (!engine_) {
        return false;
    }
    const std::string state_folder =
        options_.state_folder.empty() ? default_state_folder() : options_.state_folder;
    core_ = std::make_unique<HostCore>(
        *engine_, &read_title, [this] { waker_.wake(); },
        [this](const std::string& text, const std::string& caption) {
            show_message_box(text, caption);
        },
        state_folder, std::random_device{}());
    plugins_ = std::make_unique<PluginSet>(core_->record());
    install_stop_signals(waker_);
    if (!options_.clear_playlist) {
        core_->restore();
    }
    add_start_paths();

    const std::vector<std::string> folders = options_.plugin_folder.empty()
                                                 ? default_plugin_folders()
                                                 : std::vector<std::string>{options_.plugin_folder};
    std::vector<std::string> failures;
    if (plugins_->load_folders(folders, failures) == 0 && failures.empty()) {
        std::string looked;
        for (const auto& folder : folders) {
            looked += " " + folder;
        }
        write_stderr("player_host: no plug-in found in" + looked + "\n");
    }
    for (const auto& failure : failures) {
        write_stderr("player_host: plug-in not loaded: " + failure + "\n");
    }
    return true;
}

void HostApp::add_start_paths() {
    auto& model = core_->model();
    if (options_.clear_playlist) {
        model.clear();
    }
    for (const auto& path : options_.add_paths) {
        model.add(expand_entry_or_folder(path));
    }
}

bool HostApp::pump() {
    if (stop_signal_received()) {
        core_->request_close();
    }
    return core_->pump();
}

void HostApp::run_headless() {
    for (;;) {
        waker_.clear();
        if (!pump()) {
            return;
        }
        waker_.wait(kIdleWaitMs);
    }
}

int HostApp::finish() {
    if (finished_ || !core_) {
        return 0;
    }
    finished_ = true;
    const bool saved = core_->shutdown(*plugins_);
    if (!saved) {
        write_stderr("player_host: the playlist and settings could not be saved\n");
    }
    return saved ? 0 : 1;
}

// Any thread: plug-ins call this from their own threads.
void HostApp::show_message_box(const std::string& text, const std::string& caption) {
    // The line is written in window mode too: a window shows only the latest notice.
    write_stderr(message_box_line(text, caption));
    if (presenter_) {
        core_->queue().post_task([this, text, caption] { presenter_(text, caption); });
    }
}

}  // namespace dravo
