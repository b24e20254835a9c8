// Start at login: the user's autostart entry, written and removed by the switch and by
// `dravo --autostart on|off`.
#include "desktop_install.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

namespace dravo {
namespace {

std::string exec_line(const std::string& text) {
    const auto start = text.find("\nExec=") + 6;
    return text.substr(start, text.find('\n', start) - start);
}

TEST(AutostartEntry, ExecRunsTheProgramQuotedWhereTheDesktopRulesSayTo) {
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"dravo", "dravo"},
        {"/home/ann/src/dravo/build/bin/dravo", "/home/ann/src/dravo/build/bin/dravo"},
        {"/home/ann/my music/dravo", "\"/home/ann/my music/dravo\""},
        {"/home/ann/$x/dravo", "\"/home/ann/\\\\$x/dravo\""},
        {"/home/ann/100%/dravo", "\"/home/ann/100%%/dravo\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exec_line(AutostartEntry("/unused", c.program).text()), c.exec) << c.program;
    }
}

TEST(AutostartEntry, OnWritesTheEntryOffRemovesItAndBothMayRepeat) {
    test::TempDir home;
    const AutostartEntry entry(home.file("config/autostart/dravo.desktop"), "dravo");
    std::string error;
    EXPECT_FALSE(entry.enabled());
    EXPECT_TRUE(entry.set(false, error)) << error;  // nothing to remove is no failure
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(entry.set(true, error)) << error;
        EXPECT_TRUE(entry.enabled());
        EXPECT_EQ(test::read_file(entry.file()), entry.text());
    }
    EXPECT_FALSE(std::filesystem::exists(entry.file() + ".new"));
    EXPECT_TRUE(entry.set(false, error)) << error;
    EXPECT_FALSE(entry.enabled());
}

TEST(AutostartEntry, AnUnwritableFolderIsReportedInWords) {
    test::TempDir home;
    test::write_file(home.file("config"), "a file where the folder should be");
    const AutostartEntry entry(home.file("config/autostart/dravo.desktop"), "dravo");
    std::string error;
    EXPECT_FALSE(entry.set(true, error));
    EXPECT_NE(error.find("autostart"), std::string::npos) << error;
}

TEST(AutostartOption, TheCommandLineSwitchesTheUsersEntryOnly) {
    test::TempDir home;
    test::ScopedEnv config("XDG_CONFIG_HOME", home.path().c_str());
    const std::string entry = home.file("autostart/dravo.desktop");
    const struct {
        std::vector<const char*> argv;
        std::optional<int> status;
        bool exists_after;
    } steps[] = {
        {{"dravo"}, std::nullopt, false},          {{"dravo", "/i", "x.ini"}, std::nullopt, false},
        {{"dravo", "--autostart"}, 2, false},      {{"dravo", "--autostart", "yes"}, 2, false},
        {{"dravo", "--autostart", "on"}, 0, true}, {{"dravo", "--autostart", "off"}, 0, false},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(run_autostart_option(static_cast<int>(step.argv.size()), step.argv.data()),
                  step.status)
            << step.argv.back();
        EXPECT_EQ(std::filesystem::exists(entry), step.exists_after) << step.argv.back();
    }
}

}  // namespace
}  // namespace dravo
