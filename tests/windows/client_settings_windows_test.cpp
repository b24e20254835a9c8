// The client's settings file on Windows: "./dravo.ini" in the current folder, and which file
// "/i" names (".\" in front of a bare name, a path with a backslash as written).
#include <gtest/gtest.h>

#include <filesystem>

#include "client_settings.h"
#include "profile_file.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

TEST(ClientSettingsWindows, CommandLineNamesAnotherFile) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"dravo.exe /i my.ini", ".\\my.ini"},
        {"dravo.exe /i c:\\x\\y.ini", "c:\\x\\y.ini"},
        {"\"C:\\Program Files\\dravo.exe\" /i \t other.ini more", ".\\other.ini"},
        {"dravo.exe/i my.ini", std::nullopt},
        {"dravo.exe /I my.ini", std::nullopt},
        {"dravo.exe /i", std::nullopt},
    };
    for (const auto& [line, file] : cases) {
        EXPECT_EQ(settings_file_from_command_line(line), file) << line;
    }
}

TEST(ClientSettingsWindows, DefaultFileIsInTheCurrentFolder) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    EXPECT_EQ(default_settings_file(), "./dravo.ini");
    ClientSettings settings(default_settings_file());
    settings.load_and_correct();
    settings.current_server = 1;
    EXPECT_TRUE(settings.save_to_file());
    EXPECT_EQ(profile_read_string("Settings", "Server1", "", dir.file("dravo.ini")),
              "http://localhost:81/");
}

}  // namespace
}  // namespace dravo::test
