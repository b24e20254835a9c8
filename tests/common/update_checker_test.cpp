#include <gtest/gtest.h>

#include <filesystem>

#include "local_http_server.h"
#include "loopback_client.h"
#include "sha256_hex.h"
#include "temp_dir.h"
#include "update_checker.h"

namespace dravo {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using test::sha256_hex;
namespace fs = std::filesystem;

struct Launch {
    std::string path;
    std::string arguments;
};

// Runs each check in a fresh current folder, against a local site, with a launcher that records.
class UpdateCheckerTest : public ::testing::Test {
protected:
    UpdateCheckerTest() : previous_folder(fs::current_path()) { fs::current_path(folder.path()); }
    ~UpdateCheckerTest() override { fs::current_path(previous_folder); }

    bool check(int running_version, std::string& message, bool launch_result = true) {
        UpdateChecker checker([this, launch_result](const std::string& path,
                                                    const std::string& arguments,
                                                    const std::string&) {
            launches.push_back({path, arguments});
            return launch_result;
        });
        return checker.run("dravo", base, running_version, "", message);
    }

    void publish(const std::string& version_text, const std::string& update_program) {
        site.set_reply("/dravo/version.txt", {200, version_text});
        site.set_reply("/dravo/" + file, {200, update_program});
    }

    test::TempDir folder;
    fs::path previous_folder;
    LocalHttpServer site;
    std::string base = site.base_url() + "dravo/";
    std::vector<Launch> launches;
    const std::string file = update_program_file("dravo");
    const std::string program = std::string(
                                    "\x7f"
                                    "ELF\0\0binary\r\n\x1a",
                                    15) +
                                std::string(6000, '\0') + "end";
};

TEST_F(UpdateCheckerTest, SameVersionIsLatestAndLeftoverProgramIsRemoved) {
    test::write_file(file, "old update program");
    publish("167 sha256=" + sha256_hex(program), program);
    std::string message = "stale";
    EXPECT_FALSE(check(167, message));
    EXPECT_EQ(message, kUpdateLatestVersion);
    EXPECT_FALSE(check(300, message));
    EXPECT_EQ(message, kUpdateLatestVersion);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(site.count("/dravo/" + file), 0u);
    EXPECT_TRUE(launches.empty());
}

TEST_F(UpdateCheckerTest, NewerVersionWithMatchingDigestIsStoredAndStartedOnce) {
    publish("  168 SHA256=" + sha256_hex(program) + "\r\nRelease notes\r\n", program);
    std::string message;
    EXPECT_TRUE(check(167, message));
    EXPECT_EQ(message, kUpdateStarted);
    EXPECT_EQ(test::read_file(file), program);
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_exec, fs::perms::none);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].path, "./" + file);
    EXPECT_EQ(launches[0].arguments, "");
}

TEST_F(UpdateCheckerTest, MissingOrWrongDigestStartsNothing) {
    const std::string failed = std::string(kUpdateDownloadFailed) + base;
    const std::string other_digest = sha256_hex(program + "x");
    for (const std::string& version_text :
         {std::string("168\n"), "168 sha256=" + other_digest,
          "168 sha256=" + other_digest.substr(1), "168 md5=" + sha256_hex(program)}) {
        publish(version_text, program);
        std::string message;
        EXPECT_FALSE(check(167, message)) << version_text;
        EXPECT_EQ(message, failed) << version_text;
        EXPECT_FALSE(fs::exists(file)) << version_text;
    }
    EXPECT_TRUE(launches.empty());
}

TEST_F(UpdateCheckerTest, UnreadableVersionInfo) {
    std::string message;
    EXPECT_FALSE(check(167, message));  // version.txt missing: the error page is no number
    EXPECT_EQ(message, kUpdateNoVersionInfo);
    for (const char* version_text : {"new", "0", "", " \r\n", "v1.68", "0 sha256=00"}) {
        publish(version_text, program);
        message.clear();
        EXPECT_FALSE(check(-5, message)) << version_text;
        EXPECT_EQ(message, kUpdateNoVersionInfo) << version_text;
    }
    EXPECT_EQ(site.count("/dravo/" + file), 0u);
    UpdateChecker checker(
        [](const std::string&, const std::string&, const std::string&) { return true; });
    const auto nowhere = "http://127.0.0.1:" + std::to_string(test::free_port()) + "/dravo/";
    EXPECT_FALSE(checker.run("dravo", nowhere, 1, "", message));
    EXPECT_EQ(message, kUpdateNoVersionInfo);
    EXPECT_TRUE(launches.empty());
}

TEST_F(UpdateCheckerTest, MissingProgramOrFailedStartLeavesNoFile) {
    const std::string failed = std::string(kUpdateDownloadFailed) + base;
    site.set_reply("/dravo/version.txt", {200, "168 sha256=" + sha256_hex(program)});
    std::string message;
    EXPECT_FALSE(check(167, message));  // the 404 page does not match the digest
    EXPECT_EQ(message, failed);
    site.set_reply("/dravo/" + file, {200, ""});
    site.set_reply("/dravo/version.txt", {200, "168 sha256=" + sha256_hex("")});
    EXPECT_FALSE(check(167, message));  // an empty download is no program
    EXPECT_EQ(message, failed);
    EXPECT_TRUE(launches.empty());

    publish("168 sha256=" + sha256_hex(program), program);
    EXPECT_FALSE(check(167, message, false));
    EXPECT_EQ(message, failed);
    EXPECT_EQ(launches.size(), 1u);
    EXPECT_FALSE(fs::exists(file));
}

TEST(Sha256, PublishedVectors) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [bytes, digest] : vectors) {
        EXPECT_EQ(sha256_hex(bytes), digest) << bytes.size();
    }
}

TEST(StartDetached, MissingProgramIsReported) {
    EXPECT_FALSE(start_detached("./no_such_program_here", ""));
}

}  // namespace
}  // namespace dravo
