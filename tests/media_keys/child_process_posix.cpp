#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace dravo::test {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    int to_child[2];
    int from_child[2];
    if (arguments.empty() || ::pipe2(to_child, O_CLOEXEC) != 0) {
        return;
    }
    if (::pipe2(from_child, O_CLOEXEC) != 0) {
        ::close(to_child[0]);
        ::close(to_child[1]);
        return;
    }
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(to_child[0], STDIN_FILENO);
        ::dup2(from_child[1], STDOUT_FILENO);
        for (const auto& entry : environment) {
            const auto equals = entry.find('=');
            if (equals == std::string::npos) {
                ::unsetenv(entry.c_str());
            } else {
                ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
            }
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(to_child[0]);
    ::close(from_child[1]);
    input_ = to_child[1];
    output_ = from_child[0];
}

ChildProcess::~ChildProcess() {
    if (input_ >= 0) {
        ::close(input_);
    }
    // The end of its input ends the driver; a program that ignores it is asked, then made to go.
    constexpr int kSteps = 40;  // of 50 ms each
    int status = 0;
    for (int step = 0; pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == 0; ++step) {
        if (step == kSteps) {
            ::kill(pid_, SIGTERM);
        } else if (step == 2 * kSteps) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (output_ >= 0) {
        ::close(output_);
    }
}

void ChildProcess::send(const std::string& line) {
    const std::string text = line + "\n";
    if (input_ >= 0) {
        [[maybe_unused]] const auto written = ::write(input_, text.data(), text.size());
    }
}

bool ChildProcess::read_some(std::chrono::milliseconds patience) {
    pollfd watched{output_, POLLIN, 0};
    if (output_ < 0 || ::poll(&watched, 1, static_cast<int>(patience.count())) <= 0) {
        return false;
    }
    char buffer[4096];
    const auto got = ::read(output_, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    pending_.append(buffer, static_cast<std::size_t>(got));
    for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        lines_.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
    }
    return true;
}

std::optional<std::string> ChildProcess::wait_line(const std::string& prefix,
                                                   std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        for (; taken_ < lines_.size(); ++taken_) {
            if (lines_[taken_].rfind(prefix, 0) == 0) {
                return lines_[taken_++];
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !read_some(left)) {
            return std::nullopt;
        }
    }
}

}  // namespace dravo::test
