// Where the host looks for plug-ins without --plugins, and which copy of a name it takes.
#include "plugin_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "plugin_set.h"
#include "fake_environment.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using test::environment_of;

TEST(PluginFolders, UsersFolderThenTheSystemsForAnInstalledHostOrTheBuildTrees) {
    const std::string system = "/usr/lib/x86_64-linux-gnu/dravo/plugins";
    struct Case {
        const char* program_folder;
        std::map<std::string, std::string> environment;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"/usr/bin/", {{"HOME", "/home/ann"}}, {"/home/ann/.local/share/dravo/plugins", system}},
        {"/usr/bin/",
         {{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data/"}},
         {"/data/dravo/plugins", system}},
        {"/home/ann/dravo/build/bin/",
         {{"HOME", "/home/ann"}},
         {"/home/ann/.local/share/dravo/plugins", "/home/ann/dravo/build/bin/plugins"}},
        // No home and a relative XDG_DATA_HOME: no user's folder.
        {"/usr/bin", {{"XDG_DATA_HOME", "data"}}, {system}},
        {"/opt/usrbin/", {}, {"/opt/usrbin/plugins"}},
        {"", {}, {"plugins"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            plugin_search_folders(c.program_folder, environment_of(c.environment), system + "/"),
            c.expected)
            << c.program_folder;
    }
}

TEST(PluginFolders, AFileNameFoundInAnEarlierFolderIsNotLoadedAgain) {
    test::TempDir folder;
    const std::string source = std::string(DRAVO_TEST_PLUGIN_DIR) + "/gen_test_bad_version.so";
    for (const char* name : {"user", "system"}) {
        std::filesystem::create_directories(folder.file(name));
        std::filesystem::create_symlink(source, folder.file(name) + "/gen_test_bad_version.so");
    }
    PluginSet set(nullptr);
    std::vector<std::string> errors;
    EXPECT_EQ(set.load_folders({folder.file("missing"), folder.file("user"), folder.file("system")},
                               errors),
              0);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_EQ(errors[0].rfind(folder.file("user"), 0), 0U) << errors[0];
}

}  // namespace
}  // namespace dravo
