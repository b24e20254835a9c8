#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "profile_file.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using test::read_file;
using test::write_file;

class ProfileFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ini = dir.file("test.ini");
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesFallback) {
    EXPECT_EQ(profile_read_string("S", "k", "dflt", ini), "dflt");
    EXPECT_EQ(profile_read_int("S", "k", -7, ini), -7);
    write_file(ini, "[Other]\nk=1\n[S]\nj=2\n");
    EXPECT_EQ(profile_read_string("S", "k", "dflt", ini), "dflt");
    EXPECT_EQ(profile_read_string("Nope", "j", "dflt", ini), "dflt");
    EXPECT_EQ(profile_read_string("S", "j", "dflt", ini), "2");
}

TEST_F(ProfileFileTest, ReadsIgnoreCaseAndTrimBlanks) {
    write_file(ini,
               "; top comment\r\n [ sEtTiNgS ] \r\n\tMedia_Root \t=  /music/a b \t\r\nEmpty=\r\n");
    EXPECT_EQ(profile_read_string("Settings", "media_root", "", ini), "/music/a b");
    EXPECT_EQ(profile_read_string("SETTINGS", "MEDIA_ROOT", "", ini), "/music/a b");
    EXPECT_EQ(profile_read_string("Settings", "empty", "dflt", ini), "");
    EXPECT_EQ(profile_read_string("Settings", "; top comment", "dflt", ini), "dflt");
}

TEST_F(ProfileFileTest, CommentsAndKeysOutsideSectionsAreNotValues) {
    write_file(ini, "a=outside\n[S]\n;b=commented\n#c=hashed\nnot a key line\nd = x=y\n");
    EXPECT_EQ(profile_read_string("S", "a", "-", ini), "-");
    EXPECT_EQ(profile_read_string("S", ";b", "-", ini), "-");
    EXPECT_EQ(profile_read_string("S", "b", "-", ini), "-");
    EXPECT_EQ(profile_read_string("S", "#c", "-", ini), "-");
    EXPECT_EQ(profile_read_string("S", "d", "-", ini), "x=y");
}

TEST_F(ProfileFileTest, LongValuesAreCutTo511Bytes) {
    const std::string ascii(600, 'x');
    ASSERT_TRUE(profile_write_string("S", "k", ascii, ini));
    EXPECT_EQ(profile_read_string("S", "k", "", ini), std::string(511, 'x'));
    const std::string exact(511, 'y');
    ASSERT_TRUE(profile_write_string("S", "k", exact, ini));
    EXPECT_EQ(profile_read_string("S", "k", "", ini), exact);
    // The fallback is not a read value and stays whole.
    EXPECT_EQ(profile_read_string("S", "missing", ascii, ini), ascii);
}

TEST_F(ProfileFileTest, IntegerReads) {
    write_file(ini,
               "[S]\na=42\nb=-5\nc=+7\nd=12abc\ne=abc\nf=\ng= 9 \nh=99999999999\ni=-99999999999\n");
    EXPECT_EQ(profile_read_int("S", "a", 1, ini), 42);
    EXPECT_EQ(profile_read_int("S", "b", 1, ini), -5);
    EXPECT_EQ(profile_read_int("S", "c", 1, ini), 7);
    EXPECT_EQ(profile_read_int("S", "d", 1, ini), 12);
    EXPECT_EQ(profile_read_int("S", "e", 1, ini), 0);
    EXPECT_EQ(profile_read_int("S", "f", 1, ini), 1);
    EXPECT_EQ(profile_read_int("S", "g", 1, ini), 9);
    EXPECT_EQ(profile_read_int("S", "h", 1, ini), INT32_MAX);
    EXPECT_EQ(profile_read_int("S", "i", 1, ini), INT32_MIN);
    EXPECT_EQ(profile_read_int("S", "z", 1, ini), 1);
}

TEST_F(ProfileFileTest, WriteCreatesFileWithCrLf) {
    ASSERT_TRUE(profile_write_string("Settings", "port", "81", ini));
    ASSERT_TRUE(profile_write_string("Settings", "name", "x", ini));
    EXPECT_EQ(read_file(ini), "[Settings]\r\nport=81\r\nname=x\r\n");
}

TEST_F(ProfileFileTest, WriteKeepsEveryOtherByteOfCrLfFile) {
    const std::string before =
        "; dravo settings\r\n[First]\r\nA = keep me \r\n\r\n[Settings]\r\n  Port = 80\r\n"
        "other=1\r\n; closing comment\r\n\r\n[Last]\r\nz=9";
    write_file(ini, before);
    ASSERT_TRUE(profile_write_string("Settings", "port", "81", ini));
    ASSERT_TRUE(profile_write_string("Settings", "added", "new", ini));
    EXPECT_EQ(read_file(ini),
              "; dravo settings\r\n[First]\r\nA = keep me \r\n\r\n[Settings]\r\nport=81\r\n"
              "other=1\r\nadded=new\r\n; closing comment\r\n\r\n[Last]\r\nz=9");
}

TEST_F(ProfileFileTest, WriteKeepsLfFileAndUsesLfForNewLines) {
    write_file(ini, "[Settings]\nport=80\n\n[Other]\nq=1");
    ASSERT_TRUE(profile_write_string("Other", "r", "2", ini));
    ASSERT_TRUE(profile_write_string("New", "s", "3", ini));
    EXPECT_EQ(read_file(ini), "[Settings]\nport=80\n\n[Other]\nq=1\nr=2\n\n[New]\ns=3\n");
}

TEST_F(ProfileFileTest, KeyGoesRightAfterHeaderOfEmptySectionAndFirstOfDuplicates) {
    write_file(ini, "[S]\n; nothing yet\n[T]\nx=1\n[s]\nk=old\n");
    ASSERT_TRUE(profile_write_string("S", "a", "1", ini));
    ASSERT_TRUE(profile_write_string("S", "K", "new", ini));  // found in the second [s]
    EXPECT_EQ(read_file(ini), "[S]\na=1\n; nothing yet\n[T]\nx=1\n[s]\nK=new\n");
    EXPECT_EQ(profile_read_string("S", "k", "", ini), "new");
}

TEST_F(ProfileFileTest, LineBreaksInValuesCannotInjectKeys) {
    write_file(ini, "[Settings]\nport=81\n");
    ASSERT_TRUE(profile_write_string("Settings", "filter", "rock\r\n[Settings]\nport=1", ini));
    EXPECT_EQ(read_file(ini), "[Settings]\nport=81\nfilter=rock[Settings]port=1\n");
    EXPECT_FALSE(profile_write_string("Settings", "", "x", ini));
    EXPECT_FALSE(profile_write_string("Settings", "a=b", "x", ini));
    EXPECT_FALSE(profile_write_string("Set]tings", "a", "x", ini));
    EXPECT_EQ(read_file(ini), "[Settings]\nport=81\nfilter=rock[Settings]port=1\n");
}

// UTF-16 text (little- or big-endian) behind its byte-order mark.
std::string utf16(const std::string& ascii, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
}

// Files as editors leave them: what Settings.port reads, and the file after writing port=81.
TEST_F(ProfileFileTest, ByteOrderMarksAndLineEnds) {
    const std::string mark = "\xEF\xBB\xBF";  // UTF-8, Notepad's "UTF-8 with BOM"
    const std::string wide = "[Settings]\r\nport=8081\r\n";
    struct Case {
        const char* what;
        std::string before;
        const char* port;                  // "-": missing
        std::optional<std::string> after;  // empty: the write fails and the file stays
    };
    const Case cases[] = {
        {"UTF-8 mark", mark + "[Settings]\r\nport=8081\r\n", "8081",
         mark + "[Settings]\r\nport=81\r\n"},
        {"UTF-8 mark, new key", mark + "[Settings]\nx=1\n", "-",
         mark + "[Settings]\nx=1\nport=81\n"},
        {"UTF-8 mark alone", mark, "-", mark + "[Settings]\r\nport=81\r\n"},
        {"UTF-16 LE", utf16(wide, false), "-", std::nullopt},
        {"UTF-16 BE", utf16(wide, true), "-", std::nullopt},
        {"lone CR", "[Settings]\rport=8081\rx=1", "8081", "[Settings]\rport=81\rx=1"},
        {"CR CR LF", "[Settings]\r\r\nport=8081\r\r\n", "8081", "[Settings]\r\r\nport=81\r\r\n"},
        {"unclosed bracket opens nothing", "[Other]\n[Settings\nport=8081\n", "-",
         "[Other]\n[Settings\nport=8081\n\n[Settings]\nport=81\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_file(ini, c.before);
        EXPECT_EQ(profile_read_string("Settings", "port", "-", ini), c.port);
        EXPECT_EQ(profile_write_string("Settings", "port", "81", ini), c.after.has_value());
        EXPECT_EQ(read_file(ini), c.after.value_or(c.before));
    }
}

// The filter language's quotes are the value's own: nothing strips them.
TEST_F(ProfileFileTest, QuotedValuesReadBackAsWritten) {
    for (const char* value : {"\"live at\"", "'live'", "\"D:\\Music\\\""}) {
        ASSERT_TRUE(profile_write_string("Settings", "current_filter", value, ini));
        EXPECT_EQ(profile_read_string("Settings", "current_filter", "", ini), value);
    }
}

TEST_F(ProfileFileTest, WriteIntoMissingFolderFails) {
    EXPECT_FALSE(profile_write_string("S", "a", "1", dir.file("no/such/folder.ini")));
}

}  // namespace
}  // namespace dravo
