#pragma once
// The desktop tests' common ground: they run inside an X server (Xvfb) and a private session bus
// that run_desktop_tests.sh provides, press keys with xdotool and call the bus with gdbus. A
// DriverFixture runs the test driver (a client session with the media-key service) against a
// recording server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "local_http_server.h"

namespace dravo::test {

using namespace std::chrono_literals;
using Targets = std::vector<std::string>;

// Generous: the machine is shared and sanitizer builds are slow. Only failures wait this long.
inline constexpr auto kPatience = 20s;

inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline void press(const std::string& keys) { EXPECT_TRUE(run("xdotool key " + keys)) << keys; }

// Standard output of a command.
inline std::string output_of(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[512];
        while (const auto got = std::fread(buffer, 1, sizeof buffer, pipe)) {
            text.append(buffer, got);
        }
        ::pclose(pipe);
    }
    return text;
}

class DriverFixture : public ::testing::Test {
protected:
    DriverFixture() {
        for (const char* target : {"/status", "/next", "/prev", "/play", "/pause", "/stop",
                                   "/volume?volume=25", "/volume?volume=51"}) {
            server.set_reply(target, {200, ""});
        }
        server.set_reply("/title", {200, "Artist - Song"});
    }

    // Starts the driver and returns its "started ..." line (empty when it never came).
    std::string start_driver(const std::vector<std::string>& environment = {}) {
        const std::vector<std::string> arguments = {DRAVO_MEDIA_KEY_DRIVER, server.base_url()};
        driver = std::make_unique<ChildProcess>(arguments, environment);
        return driver->wait_line("started", kPatience).value_or("");
    }
    // Runs a driver command and waits until it has been done.
    void command(const std::string& name) {
        driver->send(name);
        EXPECT_TRUE(driver->wait_line("ok " + name, kPatience)) << name;
    }
    // Waits until the server has seen at least as many requests as expected, then gives them.
    Targets targets_after(std::size_t count) {
        for (auto until = std::chrono::steady_clock::now() + kPatience;
             server.targets().size() < count && std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(20ms);
        }
        return server.targets();
    }

    LocalHttpServer server;
    std::unique_ptr<ChildProcess> driver;
};

// The other program that holds a key: started, and its grab known, before it returns.
inline std::unique_ptr<ChildProcess> hold_key(const std::string& keysym, std::string& answer) {
    auto holder =
        std::make_unique<ChildProcess>(std::vector<std::string>{DRAVO_GRAB_ONE_KEY, keysym});
    answer = holder->wait_line("", kPatience).value_or("");
    return holder;
}

}  // namespace dravo::test
