// The client's settings file: defaults and the server correction, on every platform.
#include <gtest/gtest.h>

#include "client_settings.h"
#include "profile_file.h"
#include "request_runner.h"
#include "server_client.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

std::string value_in(const std::string& file, const std::string& key) {
    return profile_read_string("Settings", key, "<missing>", file);
}

TEST(ClientSettings, NoFileGivesDefaultsAndSaveWritesEveryKeyInANewFolder) {
    TempDir dir;
    const auto file = dir.file("config/dravo/dravo.ini");
    ClientSettings settings(file);
    settings.load_and_correct();
    EXPECT_EQ(settings.current_server_url(), "http://localhost:81/");
    EXPECT_TRUE(settings.save_to_file());
    const std::pair<const char*, const char*> expected[] = {
        {"CurrentServer", "1"},    {"Server1", "http://localhost:81/"},
        {"RefreshInterval", "3"},  {"UseOSD", "true"},
        {"OSDDuration", "4"},      {"OSDOutlineWidth", "3"},
        {"OSDOnNewTrack", "true"}, {"SleepHours", "2"},
        {"SleepMinutes", "0"},     {"UpdateOnStartup", "true"},
        {"MRUFilterSize", "10"},   {"MRUFilter1", "<missing>"},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(value_in(file, key), value) << key;
    }
}

TEST(ClientSettings, ServerWithoutSlashAndCurrentServerOutOfRangeAreCorrected) {
    TempDir dir;
    const auto file = dir.file("dravo.ini");
    write_file(file,
               "[Settings]\nServer1=http://a:81\nServer2=http://b:82/\nCurrentServer=5\n"
               "UseOSD=False\nMRUFilter1=x\nMRUFilter2=y\nMRUFilterSize=2\n");
    ClientSettings settings(file);
    settings.load_and_correct();
    BlockingRunner runner;
    EXPECT_EQ(ServerClient(settings, runner).command_url("next"), "http://a:81/next");
    EXPECT_FALSE(settings.use_osd);
    EXPECT_EQ(settings.mru_filter, (std::vector<std::string>{"x", "y"}));
    settings.current_server = 2;
    EXPECT_EQ(settings.current_server_url(), "http://b:82/");
    settings.current_server = 0;
    settings.save();
    EXPECT_EQ(value_in(file, "CurrentServer"), "0");
    EXPECT_EQ(value_in(file, "Server1"), "http://a:81/");
    EXPECT_EQ(value_in(file, "UseOSD"), "false");
    settings.load_and_correct();
    EXPECT_EQ(settings.current_server, 1);
}

}  // namespace
}  // namespace dravo::test
