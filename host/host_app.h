#pragma once
// The running host program: options, the audio engine, the core, the plug-ins and the stop
// signals, put together in the order they need; shared by the headless and the windowed mode.
// Main thread only (the thread that constructs it).
#include <functional>
#include <memory>
#include <string>

#include "audio_engine.h"
#include "host_core.h"
#include "host_options.h"
#include "plugin_set.h"
#include "waker.h"

namespace dravo {

class HostApp {
public:
    // Shows a message box on the main thread; empty: none. Every box is also a line on
    // standard error.
    using BoxPresenter = std::function<void(const std::string& text, const std::string& caption)>;

    explicit HostApp(HostOptions options) : options_(std::move(options)) {}
    ~HostApp();
    HostApp(const HostApp&) = delete;
    HostApp& operator=(const HostApp&) = delete;

    // Call once the numeric locale is "C" (mpv refuses any other). False with the reason.
    bool start(BoxPresenter presenter, std::string& error);
    // Runs pending work; false once the host should end (close message or stop signal).
    bool pump();
    // Waits and pumps until the end. For the headless mode.
    void run_headless();
    // Ends in order; the process's exit status.
    int finish();

    const Waker& waker() const { return waker_; }
    HostCore& core() { return *core_; }
    PluginSet& plugins() { return *plugins_; }

private:
    void show_message_box(const std::string& text, const std::string& caption);
    void add_start_paths();

    HostOptions options_;
    BoxPresenter presenter_;
    Waker waker_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<HostCore> core_;
    std::unique_ptr<PluginSet> plugins_;
    bool finished_ = false;
};

}  // namespace dravo
