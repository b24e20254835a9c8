// The client's settings file on Linux: where it lies and which file "/i" names.
#include <gtest/gtest.h>

#include <cstdlib>

#include "client_settings.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

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
