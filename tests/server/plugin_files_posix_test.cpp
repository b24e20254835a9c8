// Where the Linux plug-in keeps its files: beside itself, or in the XDG folders when it lies in
// the system's tree.
#include "plugin_files_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "fake_environment.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using test::environment_of;

struct FilesCase {
    const char* module_directory;
    std::map<std::string, std::string> environment;
    PluginFiles expected;
};

TEST(PluginFiles, BesideTheModuleUnlessItLiesUnderUsr) {
    const std::map<std::string, std::string> xdg = {{"HOME", "/home/ann"},
                                                    {"XDG_CONFIG_HOME", "/cfg"},
                                                    {"XDG_STATE_HOME", "/state/"},
                                                    {"XDG_CACHE_HOME", "/cache"}};
    const FilesCase cases[] = {
        {"/home/ann/dravo/build/bin/plugins/",
         xdg,
         {"/home/ann/dravo/build/bin/plugins/gen_dravo_srv.ini",
          "/home/ann/dravo/build/bin/plugins/gen_dravo_srv.log",
          "/home/ann/dravo/build/bin/plugins/"}},
        {"/opt/player/plugins/",
         xdg,
         {"/opt/player/plugins/gen_dravo_srv.ini", "/opt/player/plugins/gen_dravo_srv.log",
          "/opt/player/plugins/"}},
        {"/usrdata/plugins/",
         xdg,
         {"/usrdata/plugins/gen_dravo_srv.ini", "/usrdata/plugins/gen_dravo_srv.log",
          "/usrdata/plugins/"}},
        {"/usr/lib/x86_64-linux-gnu/dravo/plugins/",
         xdg,
         {"/cfg/dravo/gen_dravo_srv.ini", "/state/dravo/gen_dravo_srv.log", "/cache/dravo/"}},
        {"/usr/local/lib/dravo/plugins/",
         xdg,
         {"/cfg/dravo/gen_dravo_srv.ini", "/state/dravo/gen_dravo_srv.log", "/cache/dravo/"}},
        // No XDG variables: the home's folders.
        {"/usr/lib/x86_64-linux-gnu/dravo/plugins/",
         {{"HOME", "/home/bo"}},
         {"/home/bo/.config/dravo/gen_dravo_srv.ini",
          "/home/bo/.local/state/dravo/gen_dravo_srv.log", "/home/bo/.cache/dravo/"}},
        // Relative values are ignored, as the XDG rules say.
        {"/usr/lib/dravo/plugins/",
         {{"HOME", "/home/bo"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_STATE_HOME", ""}},
         {"/home/bo/.config/dravo/gen_dravo_srv.ini",
          "/home/bo/.local/state/dravo/gen_dravo_srv.log", "/home/bo/.cache/dravo/"}},
        // Neither variables nor a home: the current folder, never the module's.
        {"/usr/lib/dravo/plugins/", {}, {"./gen_dravo_srv.ini", "./gen_dravo_srv.log", "./"}},
    };
    for (const auto& c : cases) {
        const PluginFiles files =
            plugin_files_for(c.module_directory, {environment_of(c.environment), "/usr/", ""});
        EXPECT_EQ(files.settings, c.expected.settings) << c.module_directory;
        EXPECT_EQ(files.log, c.expected.log) << c.module_directory;
        EXPECT_EQ(files.cache_folder, c.expected.cache_folder) << c.module_directory;
    }
}

// A module folder that nobody may write, with an INI beside it: where each file comes from.
class PluginFilesOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        defaults_ = tree_.write("share/dravo/gen_dravo_srv.ini", "[Settings]\r\nport=8081\r\n");
        module_ = tree_.slash() + "lib/dravo/plugins/";
        test::write_file(module_ + "gen_dravo_srv.ini", "[Settings]\r\nport=9999\r\n");
        chmod(module_.c_str(), 0555);
    }
    void TearDown() override { chmod(module_.c_str(), 0755); }

    InstalledLayout layout(const std::string& system_tree) const {
        return {environment_of({{"HOME", home_.path()}}), system_tree, defaults_};
    }

    test::TempDir tree_;
    test::TempDir home_;
    std::string defaults_;
    std::string module_;
};

TEST_F(PluginFilesOnDisk, AnInstalledCopyStartsFromThePackagedDefaultsNotTheIniBesideIt) {
    const PluginFiles files = prepare_plugin_files(module_, layout(tree_.slash()));
    EXPECT_EQ(files.settings, home_.path() + "/.config/dravo/gen_dravo_srv.ini");
    EXPECT_EQ(test::read_file(files.settings), "[Settings]\r\nport=8081\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(home_.path() + "/.local/state/dravo"));
    EXPECT_TRUE(std::filesystem::is_directory(files.cache_folder));
    EXPECT_EQ(std::filesystem::status(home_.path() + "/.config/dravo").permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
}

TEST_F(PluginFilesOnDisk, TheUsersSettingsAreNeverReplacedByTheDefaults) {
    test::write_file(home_.path() + "/.config/dravo/gen_dravo_srv.ini",
                     "[Settings]\r\nport=8123\r\n");
    const PluginFiles files = prepare_plugin_files(module_, layout(tree_.slash()));
    EXPECT_EQ(test::read_file(files.settings), "[Settings]\r\nport=8123\r\n");
}

TEST_F(PluginFilesOnDisk, WithoutPackagedDefaultsTheSettingsFolderIsStillMade) {
    InstalledLayout without = layout(tree_.slash());
    without.default_settings = tree_.file("missing.ini");
    const PluginFiles files = prepare_plugin_files(module_, without);
    EXPECT_FALSE(std::filesystem::exists(files.settings));
    EXPECT_TRUE(std::filesystem::is_directory(home_.path() + "/.config/dravo"));
}

TEST_F(PluginFilesOnDisk, AReadOnlyFolderOutsideTheSystemTreeKeepsEverythingBesideTheModule) {
    const PluginFiles files = prepare_plugin_files(module_, layout("/usr/"));
    EXPECT_EQ(files.settings, module_ + "gen_dravo_srv.ini");
    EXPECT_EQ(files.cache_folder, module_);
    EXPECT_FALSE(std::filesystem::exists(home_.path() + "/.config"));
}

}  // namespace
}  // namespace dravo
