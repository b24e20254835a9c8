#include "update_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "eventually.h"
#include "fake_host.h"
#include "local_http_server.h"
#include "player_control.h"
#include "sha256_hex.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

class UpdateCommand : public ::testing::Test {
protected:
    UpdateCommand() { host_.directory = dir_.slash(); }

    std::unique_ptr<UpdateRunner> runner(LocalHttpServer& site) {
        return std::make_unique<UpdateRunner>(
            host_, player_, site.base_url(),
            [this](const std::string& path, const std::string& arguments,
                   const std::string& folder) {
                std::lock_guard lock(mutex_);
                launches_.push_back({path, arguments, folder});
                return true;
            });
    }
    // The answer's result once its check has ended.
    static std::optional<LateAnswer::Result> result_of(LateAnswer& answer) {
        std::optional<LateAnswer::Result> result;
        eventually([&] { return (result = answer.take()).has_value(); });
        return result;
    }
    // One request; the body, with the follow-up run as the listener would.
    std::string run(LocalHttpServer& site) {
        auto answer = std::make_shared<LateAnswer>();
        auto updates = runner(site);
        updates->request(answer);
        auto result = result_of(*answer);
        if (!result) {
            return "(no answer)";
        }
        posted_before_the_answer_ = !host_.messages().empty();
        if (result->then) {
            result->then();
        }
        return result->body;
    }
    std::size_t launches() {
        std::lock_guard lock(mutex_);
        return launches_.size();
    }

    std::filesystem::path previous_ = std::filesystem::current_path();
    TempDir dir_;
    const std::string program_file_ = update_program_file("dravo_srv");
    const std::string program_ = "#!/bin/sh\necho update\n";
    FakeHost host_;
    PlayerControl player_{host_};
    bool posted_before_the_answer_ = false;
    struct Launch {
        std::string path, arguments, folder;
    };
    std::mutex mutex_;
    std::vector<Launch> launches_;
};

TEST_F(UpdateCommand, LatestVersionAnswersTheMessageAloneAndKeepsTheHost) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "114\r\n")}});
    EXPECT_EQ(run(site), "You're running the latest version.");
    EXPECT_TRUE(host_.messages().empty());
    EXPECT_TRUE(launches_.empty());
    EXPECT_EQ(std::filesystem::current_path(), previous_) << "the host's current folder stays";
}

TEST_F(UpdateCommand, NewerVersionStartsTheProgramThenPostsTheCloseAfterTheAnswer) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program_))},
                          {"/" + program_file_, HttpReply(200, program_)}});
    EXPECT_EQ(run(site), "OK! New version downloaded.\nExiting and updating...");
    EXPECT_FALSE(posted_before_the_answer_);
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].arguments, "");
    EXPECT_EQ(launches_[0].path, dir_.file(program_file_));
    EXPECT_EQ(launches_[0].folder, host_.directory) << "started in the plug-in's folder";
    EXPECT_EQ(std::filesystem::current_path(), previous_);
    EXPECT_EQ(read_file(dir_.file(program_file_)), program_);
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

TEST_F(UpdateCommand, ARequestDuringACheckGetsThatChecksAnswer) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program_))},
                          {"/" + program_file_, HttpReply(200, program_)}});
    site.hold("/version.txt");
    auto updates = runner(site);
    auto first = std::make_shared<LateAnswer>();
    auto second = std::make_shared<LateAnswer>();
    updates->request(first);
    ASSERT_TRUE(eventually([&] { return site.count("/version.txt") == 1; }));
    updates->request(second);
    EXPECT_FALSE(first->take()) << "no answer while the site has not answered";
    site.release("/version.txt");
    auto one = result_of(*first);
    auto two = result_of(*second);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->body, "OK! New version downloaded.\nExiting and updating...");
    EXPECT_EQ(two->body, one->body);
    EXPECT_EQ(site.count("/version.txt"), 1u) << "one check";
    EXPECT_EQ(launches(), 1u);
    one->then();
    two->then();
    EXPECT_EQ(host_.messages(), (std::vector<Message>{{16, 0, 0, {}, true}})) << "one close";
    // The next request is a check of its own.
    auto third = std::make_shared<LateAnswer>();
    updates->request(third);
    ASSERT_TRUE(result_of(*third));
    EXPECT_EQ(site.count("/version.txt"), 2u);
}

TEST_F(UpdateCommand, StopEndsACheckInTheMiddleOfTheDownload) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program_))},
                          {"/" + program_file_, HttpReply(200, program_)}});
    site.hold("/" + program_file_);
    auto updates = runner(site);
    auto answer = std::make_shared<LateAnswer>();
    updates->request(answer);
    ASSERT_TRUE(eventually([&] { return site.count("/" + program_file_) == 1; }));
    // The fetch's own limit is 30 s: only the cancel ends it while the site still holds.
    updates->stop();
    auto result = answer->take();
    ASSERT_TRUE(result) << "stop returns after the check has answered";
    EXPECT_EQ(result->body,
              "Couldn't download update program. Please download manually at " + site.base_url());
    EXPECT_EQ(launches(), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir_.file(program_file_)));
    auto late = std::make_shared<LateAnswer>();
    updates->request(late);
    auto refused = late->take();
    ASSERT_TRUE(refused) << "after stop a request is answered at once";
    EXPECT_EQ(refused->body, "Couldn't retrieve new version info. Please try again later.");
    site.release("/" + program_file_);
}

TEST_F(UpdateCommand, AnUpdateWhoseClientLeftStillClosesTheHost) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program_))},
                          {"/" + program_file_, HttpReply(200, program_)}});
    auto updates = runner(site);
    auto answer = std::make_shared<LateAnswer>();
    std::weak_ptr<LateAnswer> watch = answer;
    updates->request(std::move(answer));  // the connection went away: nobody takes the answer
    ASSERT_TRUE(eventually([&] { return watch.expired(); }));
    EXPECT_EQ(launches(), 1u);
    EXPECT_EQ(host_.messages(), (std::vector<Message>{{16, 0, 0, {}, true}}));
}

}  // namespace
}  // namespace dravo::test
