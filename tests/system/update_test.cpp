// "/update" through the real host: a local update site, a verified update program, the close.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "local_http_server.h"
#include "sha256_hex.h"
#include "system_fixture.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

bool appears(const std::string& path, std::chrono::milliseconds patience) {
    for (auto until = std::chrono::steady_clock::now() + patience;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
        if (std::filesystem::exists(path)) {
            return true;
        }
    }
    return false;
}

TEST(SystemUpdate, NewerReleaseRunsTheUpdateProgramInThePluginFolderAndClosesTheHost) {
    const std::string program = "#!/bin/sh\necho \"$@\" > updated-marker\n";
    LocalHttpServer site(
        {{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program) + "\n")},
         {"/dravo_srv_update", HttpReply(200, program)}});
    TempDir media;
    SystemHost host(media.path(), "update_url=" + site.base_url() + "\r\n");
    ASSERT_TRUE(host.ready()) << host.host_errors();
    ASSERT_EQ(host.body("/volume?volume=40"), "");  // a change the host saves at its end
    EXPECT_EQ(host.body("/update"), "OK! New version downloaded.\nExiting and updating...");
    EXPECT_EQ(host.process().wait_exit(10s), 0) << host.host_errors();
    EXPECT_TRUE(appears(host.plugin_dir() + "/updated-marker", 5s));
    // The host kept its own current folder: its relative state folder is where it was.
    EXPECT_TRUE(std::filesystem::exists(host.state_dir() + "/player.ini"));
    EXPECT_FALSE(std::filesystem::exists(host.plugin_dir() + "/state"));
}

TEST(SystemUpdate, LatestReleaseKeepsTheHostRunning) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "114")}});
    TempDir media;
    SystemHost host(media.path(), "update_url=" + site.base_url() + "\r\n");
    ASSERT_TRUE(host.ready()) << host.host_errors();
    ASSERT_EQ(host.body("/volume?volume=40"), "");  // a change the host saves at its end
    EXPECT_EQ(host.body("/update"), "You're running the latest version.");
    EXPECT_EQ(host.body("/version"), "dravo_srv v1.14");
    EXPECT_EQ(
        std::filesystem::read_symlink("/proc/" + std::to_string(host.process().pid()) + "/cwd"),
        std::filesystem::canonical(std::filesystem::path(host.plugin_dir()).parent_path()));
    EXPECT_EQ(host.body("/shutdown"), "");
    EXPECT_EQ(host.process().wait_exit(10s), 0) << host.host_errors();
    EXPECT_TRUE(std::filesystem::exists(host.state_dir() + "/player.ini"));
    EXPECT_FALSE(std::filesystem::exists(host.plugin_dir() + "/state"));
}

}  // namespace
}  // namespace dravo::test
