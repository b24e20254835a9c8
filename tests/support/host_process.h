#pragma once
// Runs the real player_host as a child process and talks to it through the test control
// plug-in's socket. For the end-to-end tests.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace dravo::test {

class HostProcess {
public:
    // Starts player_host with arguments; extra_environment entries are NAME=value. The host runs
    // in working_folder when one is given (stderr_file is opened before the change).
    HostProcess(const std::vector<std::string>& arguments,
                const std::vector<std::string>& extra_environment, const std::string& stderr_file,
                const std::string& working_folder = {});
    ~HostProcess();  // kills the process if it still runs
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Connects to the control socket, retrying until it appears or time runs out.
    bool connect(const std::string& socket_path, std::chrono::milliseconds patience);
    // One command line, its one answer line (empty when the connection failed).
    std::string ask(const std::string& command);
    // The number after "R ", or nullopt.
    std::optional<long long> number(const std::string& command);
    // Waits for the exit; the exit status, or nullopt on a time-out or a death by signal.
    std::optional<int> wait_exit(std::chrono::milliseconds patience);

private:
    pid_t pid_ = -1;
    int socket_ = -1;
    std::string pending_;
};

}  // namespace dravo::test
