#include "update_command.h"

#include <system_error>

#include "player_control.h"
#include "plugin_host.h"
#include "text.h"
#include "version.h"

#ifndef DRAVO_SERVER_UPDATE_URL
#error "the build sets DRAVO_SERVER_UPDATE_URL"
#endif

namespace dravo {
namespace {

FetchLimits with_cancel(FetchLimits limits, const std::atomic<bool>& cancel) {
    limits.cancel = &cancel;
    return limits;
}

}  // namespace

std::string default_update_url() { return DRAVO_SERVER_UPDATE_URL; }

UpdateRunner::UpdateRunner(PluginHost& host, PlayerControl& player, std::string base_url,
                           ProgramLauncher launcher, FetchLimits limits)
    : host_(host), player_(player),
      base_url_(base_url.empty() ? default_update_url() : std::move(base_url)),
      checker_(std::move(launcher), with_cancel(limits, cancel_)) {}

UpdateRunner::~UpdateRunner() { stop(); }

void UpdateRunner::request(std::shared_ptr<LateAnswer> answer) {
    std::lock_guard lock(mutex_);
    if (stopped_) {
        answer->finish(kUpdateNoVersionInfo);
        return;
    }
    waiting_.push_back(std::move(answer));
    if (running_) {
        return;  // it gets the answer of the check under way
    }
    if (worker_.joinable()) {
        worker_.join();  // the last check's thread, already at its end
    }
    // The update program is stored and started in the plug-in's folder; the process's current
    // folder belongs to the host, which may keep relative paths. Asked here: the worker never
    // talks to the host.
    std::string folder = host_.module_directory();
    try {
        worker_ = std::thread([this, folder = std::move(folder)] { check(folder); });
        running_ = true;
    } catch (const std::system_error&) {  // no thread to spare: no check now
        for (auto& waiting : waiting_) {
            waiting->finish(kUpdateNoVersionInfo);
        }
        waiting_.clear();
    }
}

void UpdateRunner::check(const std::string& folder) {
    std::string message;
    const bool started =
        checker_.run(kProgramName, base_url_, parse_digits(kProgramVersion), "", message, folder);
    if (!started) {
        answer_all(message, {});
        return;
    }
    // Every waiting client gets the answer; the host is asked to close once, after the first
    // answer was written (or, should no connection be left for it, when the last lets go).
    auto asked = std::make_shared<std::atomic<bool>>(false);
    answer_all(message + "\n" + "Exiting and updating...", [asked, &player = player_] {
        if (!asked->exchange(true)) {
            player.close();
        }
    });
}

void UpdateRunner::answer_all(const std::string& body, const std::function<void()>& then) {
    std::vector<std::shared_ptr<LateAnswer>> answers;
    {
        std::lock_guard lock(mutex_);
        answers.swap(waiting_);
        running_ = false;
    }
    for (auto& answer : answers) {
        answer->finish(body, then);
    }
}

void UpdateRunner::stop() {
    cancel_ = true;
    std::thread worker;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        worker.swap(worker_);
    }
    if (worker.joinable()) {
        worker.join();
    }
}

}  // namespace dravo
