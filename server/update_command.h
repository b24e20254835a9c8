#pragma once
// The server's own update ("/update"): check the update site and, when a newer release was
// downloaded and its update program started, ask the host to close so the program can replace the
// plug-in. The check waits for the network (up to two downloads), so it runs on a worker thread
// of its own and the listener goes on serving the other clients meanwhile.
//
// UpdateRunner: request is called on the listener thread, stop on any thread (the plug-in's
// quit). One check at a time: a request that comes while a check runs waits for that check and
// gets the same answer (a second check would remove the update program the first one started).
// stop cancels a running check (its download ends within kFetchCancelCheck and the check fails
// with its usual message) and waits for the worker; afterwards every request is answered at once
// with kUpdateNoVersionInfo. No exception leaves a member.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "late_answer.h"
#include "request.h"
#include "update_checker.h"

namespace dravo {

class PlayerControl;
class PluginHost;

// Where the server looks for releases unless the settings name another site.
std::string default_update_url();

class UpdateRunner {
public:
    // base_url: the update site (empty: default_update_url()). launcher and limits as in
    // UpdateChecker; the limits' cancel flag is the runner's own.
    UpdateRunner(PluginHost& host, PlayerControl& player, std::string base_url,
                 ProgramLauncher launcher = start_detached, FetchLimits limits = {});
    ~UpdateRunner();
    UpdateRunner(const UpdateRunner&) = delete;
    UpdateRunner& operator=(const UpdateRunner&) = delete;

    // Finishes answer with the check's message (after a started update program: the message,
    // "\n" and "Exiting and updating...", and the close of the host as its follow-up).
    void request(std::shared_ptr<LateAnswer> answer);
    void stop();

private:
    void check(const std::string& folder);
    void answer_all(const std::string& body, const std::function<void()>& then);

    PluginHost& host_;
    PlayerControl& player_;
    const std::string base_url_;
    std::atomic<bool> cancel_{false};
    const UpdateChecker checker_;

    std::mutex mutex_;  // guards what follows
    std::vector<std::shared_ptr<LateAnswer>> waiting_;
    bool running_ = false;
    bool stopped_ = false;
    std::thread worker_;
};

}  // namespace dravo
