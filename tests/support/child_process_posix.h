#pragma once
// Runs test code in a child process, for limits and identities the test process must not keep.
// POSIX only.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace dravo::test {

// True when body returned true in the child.
inline bool in_child(const std::function<bool()>& body) {
    pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace dravo::test
