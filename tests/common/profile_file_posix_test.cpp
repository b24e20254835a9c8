#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "profile_file.h"
#include "temp_dir.h"

namespace dravo {
namespace {

TEST(ProfileFilePosix, LongValuesAreCutOnAUtf8Boundary) {
    test::TempDir dir;
    const auto ini = dir.file("test.ini");
    // "é" (C3 A9) would straddle byte 511: the whole letter goes.
    const std::string straddling = std::string(510, 'x') + "\xC3\xA9" + "tail";
    ASSERT_TRUE(profile_write_string("S", "k", straddling, ini));
    EXPECT_EQ(profile_read_string("S", "k", "", ini), std::string(510, 'x'));
}

TEST(ProfileFilePosix, WriteKeepsPermissionsAndSymlinkAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto ini = dir.file("test.ini");
    test::write_file(ini, "[S]\na=1\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0640), 0);
    const auto link = dir.file("link.ini");
    std::filesystem::create_symlink(ini, link);
    ASSERT_TRUE(profile_write_string("S", "a", "2", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::read_file(ini), "[S]\na=2\n");
    struct stat info {};
    ASSERT_EQ(::stat(ini.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace dravo
