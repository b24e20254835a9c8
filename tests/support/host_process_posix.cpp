#include "host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace dravo::test {

HostProcess::HostProcess(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& extra_environment,
                         const std::string& stderr_file, const std::string& working_folder) {
    std::vector<std::string> program{DRAVO_PLAYER_HOST};
    program.insert(program.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : program) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment(extra_environment);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!working_folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
    }
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

HostProcess::~HostProcess() {
    if (socket_ >= 0) {
        close(socket_);
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool HostProcess::connect(const std::string& socket_path, std::chrono::milliseconds patience) {
    const auto limit = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < limit && pid_ > 0) {
        socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
        if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return true;
        }
        close(socket_);
        socket_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string HostProcess::ask(const std::string& command) {
    const std::string line = command + "\n";
    if (socket_ < 0 ||
        write(socket_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        return {};
    }
    char chunk[4096];
    for (;;) {
        if (const auto end = pending_.find('\n'); end != std::string::npos) {
            std::string answer = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return answer;
        }
        // A hung host fails the test instead of hanging it.
        pollfd entry{socket_, POLLIN, 0};
        if (poll(&entry, 1, 15000) <= 0) {
            return {};
        }
        const ssize_t got = read(socket_, chunk, sizeof chunk);
        if (got <= 0) {
            return {};
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<long long> HostProcess::number(const std::string& command) {
    const std::string answer = ask(command);
    if (answer.rfind("R ", 0) != 0) {
        return std::nullopt;
    }
    return std::stoll(answer.substr(2));
}

std::optional<int> HostProcess::wait_exit(std::chrono::milliseconds patience) {
    const auto limit = std::chrono::steady_clock::now() + patience;
    while (pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= limit) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

}  // namespace dravo::test
