// The client's settings file: defaults, the server correction, the file's place and "/i".
#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(ClientSettings, CommandLineNamesAnotherFile) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"dravo /i my.ini", "./my.ini"},
        {"dravo /i /etc/x/y.ini", "/etc/x/y.ini"},
        {"dravo  -v /i \t other.ini more", "./other.ini"},
        {"dravo/i my.ini", std::nullopt},
        {"dravo /i", std::nullopt},
        {"dravo", std::nullopt},
    };
    for (const auto& [line, file] : cases) {
        EXPECT_EQ(settings_file_from_command_line(line), file) << line;
    }
    const char* argv[] = {"dravo", "/i", "sub/c.ini"};
    EXPECT_EQ(settings_file_from_command_line(command_line_of(3, argv)), "sub/c.ini");
}

TEST(ClientSettings, DefaultFileFollowsTheConfigHome) {
    ScopedEnv home("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/home/u");
    const std::string in_home = std::string(std::getenv("HOME")) + "/.config/dravo/dravo.ini";
    const std::pair<const char*, std::string> cases[] = {
        {"/tmp/cfg", "/tmp/cfg/dravo/dravo.ini"}, {"relative", in_home}, {nullptr, in_home}};
    for (const auto& [config_home, file] : cases) {
        ScopedEnv config("XDG_CONFIG_HOME", config_home);
        EXPECT_EQ(default_settings_file(), file) << (config_home ? config_home : "unset");
    }
}

}  // namespace
}  // namespace dravo::test
