#include "update_command.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_host.h"
#include "local_http_server.h"
#include "player_control.h"
#include "sha256_hex.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

class UpdateCommand : public ::testing::Test {
protected:
    UpdateCommand() { host_.directory = dir_.slash(); }
    std::string run(LocalHttpServer& site) {
        UpdateChecker checker([this](const std::string& path, const std::string& arguments,
                                     const std::string& folder) {
            launches_.push_back({path, arguments, folder});
            return true;
        });
        std::string body;
        PlayerControl player(host_);
        run_update(host_, player, site.base_url(), checker,
                   [&](const std::string& piece) { body += piece; });
        return body;
    }

    std::filesystem::path previous_ = std::filesystem::current_path();
    TempDir dir_;
    const std::string program_file_ = update_program_file("dravo_srv");
    FakeHost host_;
    struct Launch {
        std::string path, arguments, folder;
    };
    std::vector<Launch> launches_;
};

TEST_F(UpdateCommand, LatestVersionAnswersTheMessageAloneAndKeepsTheHost) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "114\r\n")}});
    EXPECT_EQ(run(site), "You're running the latest version.");
    EXPECT_TRUE(host_.messages().empty());
    EXPECT_TRUE(launches_.empty());
    EXPECT_EQ(std::filesystem::current_path(), previous_) << "the host's current folder stays";
}

TEST_F(UpdateCommand, NewerVersionStartsTheProgramThenPostsTheClose) {
    const std::string program = "#!/bin/sh\necho update\n";
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program))},
                          {"/" + program_file_, HttpReply(200, program)}});
    EXPECT_EQ(run(site), "OK! New version downloaded.\nExiting and updating...");
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].arguments, "");
    EXPECT_EQ(launches_[0].path, dir_.file(program_file_));
    EXPECT_EQ(launches_[0].folder, host_.directory) << "started in the plug-in's folder";
    EXPECT_EQ(std::filesystem::current_path(), previous_);
    EXPECT_EQ(read_file(dir_.file(program_file_)), program);
    std::vector<Message> expected = {{16, 0, 0, {}, true}};
    EXPECT_EQ(host_.messages(), expected);
}

TEST_F(UpdateCommand, UnverifiedDownloadIsRefusedAndTheHostStays) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115")},
                          {"/" + program_file_, HttpReply(200, "#!/bin/sh\n")}});
    EXPECT_EQ(run(site),
              "Couldn't download update program. Please download manually at " + site.base_url());
    EXPECT_TRUE(launches_.empty());
    EXPECT_FALSE(std::filesystem::exists(dir_.file(program_file_)));
    EXPECT_TRUE(host_.messages().empty());
}

TEST_F(UpdateCommand, UnreachableSiteAsksToTryAgain) {
    LocalHttpServer site;
    EXPECT_EQ(run(site), "Couldn't retrieve new version info. Please try again later.");
}

}  // namespace
}  // namespace dravo::test
