// Starting the update program on POSIX: a double fork puts it in a session of its own, owned by
// init, so the caller neither waits for it nor leaves a zombie; a close-on-exec pipe reports
// whether the exec succeeded.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "text.h"

#include "update_checker.h"

namespace dravo {
namespace {

std::vector<std::string> split_arguments(const std::string& arguments) {
    std::vector<std::string> words;
    for (const auto word : split_words(arguments, " \t")) {
        words.emplace_back(word);
    }
    return words;
}

// Runs in the forked grandchild: only async-signal-safe calls until exec.
[[noreturn]] void exec_program(char* const argv[], const char* folder, int report_fd,
                               int open_max) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        sigaction(signal_number, &defaults, nullptr);  // ignored signals would stay ignored
    }
    // The caller's sockets and files (a listening port above all) must not live on in the program.
    const auto report = static_cast<unsigned>(report_fd);
    const bool ranged = (report <= 3 || ::close_range(3, report - 1, 0) == 0) &&
                        ::close_range(report + 1, ~0u, 0) == 0;
    for (int fd = 3; !ranged && fd < open_max; ++fd) {
        if (fd != report_fd) {
            ::close(fd);
        }
    }
    if (*folder == '\0' || ::chdir(folder) == 0) {
        ::execv(argv[0], argv);
    }
    const int error = errno;
    [[maybe_unused]] const auto written = ::write(report_fd, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

std::string update_program_file(const std::string& program_name) {
    return program_name + "_update";
}

bool start_detached(const std::string& path, const std::string& arguments,
                    const std::string& working_folder) {
    // Everything that allocates happens before the fork.
    std::vector<std::string> words = split_arguments(arguments);
    words.insert(words.begin(), path);
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int open_max = limit > 0 && limit < 65536 ? static_cast<int>(limit) : 65536;

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            exec_program(argv.data(), working_folder.c_str(), report[1], open_max);
        }
        if (program < 0) {
            const int error = errno;
            [[maybe_unused]] const auto written = ::write(report[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    if (middle > 0) {
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    // End of file without an error number: the exec went through (the pipe closed on exec).
    int error = 0;
    ssize_t got = 0;
    do {
        got = middle > 0 ? ::read(report[0], &error, sizeof error) : -1;
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

}  // namespace dravo
