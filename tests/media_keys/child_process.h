#pragma once
// A helper program run by a desktop test: its standard input is a pipe the test writes lines to,
// its standard output is read line by line. Test thread only. Failures: running() is false when
// the program could not be started; wait_line() gives nothing when time runs out first.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace dravo::test {

class ChildProcess {
public:
    // environment: "NAME=value" sets a variable, "NAME" alone removes it.
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();  // closes the input, waits a moment, then kills
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running() const { return pid_ > 0; }
    void send(const std::string& line);
    // The next line that starts with prefix; the lines passed over stay only in lines().
    std::optional<std::string> wait_line(const std::string& prefix,
                                         std::chrono::milliseconds patience);
    // Every line read so far.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    bool read_some(std::chrono::milliseconds patience);

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    std::size_t taken_ = 0;
};

}  // namespace dravo::test
