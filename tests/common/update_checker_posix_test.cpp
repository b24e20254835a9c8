#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "local_http_server.h"
#include "sha256_hex.h"
#include "temp_dir.h"
#include "update_checker.h"

namespace dravo {
namespace {

namespace fs = std::filesystem;

TEST(UpdateCheckerStart, RunsProgramDetachedWithArgumentsAndNoInheritedFiles) {
    test::TempDir folder;
    test::ScopedCwd in_folder(folder.path());
    const std::string script =
        "#!/bin/sh\n"
        "if [ -e /proc/$$/fd/77 ]; then leaked=yes; else leaked=no; fi\n"
        "echo \"$PPID $leaked $*\" > marker.tmp && mv marker.tmp marker\n";
    test::LocalHttpServer site(
        {{"/dravo/version.txt", {200, "168 sha256=" + test::sha256_hex(script)}},
         {"/dravo/dravo_update", {200, script}}});
    // A descriptor without close-on-exec, like a careless listening socket.
    const int inherited = ::dup2(::open("/dev/null", O_RDONLY), 77);
    ASSERT_EQ(inherited, 77);
    std::string message;
    EXPECT_TRUE(UpdateChecker().run("dravo", site.base_url() + "dravo/", 167, "one  two", message));
    ::close(inherited);
    EXPECT_EQ(message, kUpdateStarted);
    for (int i = 0; i < 500 && !fs::exists("marker"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(fs::exists("marker"));
    const auto marker = test::read_file("marker");
    const auto parent = std::stol(marker);
    EXPECT_NE(parent, static_cast<long>(::getpid()));  // not our child
    EXPECT_EQ(marker.substr(marker.find(' ')), " no one two\n");
}

}  // namespace
}  // namespace dravo
