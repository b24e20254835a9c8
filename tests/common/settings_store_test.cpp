#include <gtest/gtest.h>

#include <filesystem>

#include "profile_file.h"
#include "settings_store.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using test::read_file;
using test::write_file;

// A store extended by its own variables, as the deliverables use it.
class SampleSettings : public SettingsStore {
public:
    explicit SampleSettings(std::string file) : SettingsStore(std::move(file)) {
        add_bool("Verbose", verbose, false);
        add_bool("Autostart", autostart, true);
        add_int("port", port, 81);
        add_int("Offset", offset, -5);
        add_string("media_root", media_root, "/music/");
        add_string("current_filter", current_filter, "");
        add_list("Server", servers, {"http://a/", "http://b/"});
        add_list("MRU", mru, {});
    }

    bool verbose = false;
    bool autostart = false;
    int port = 0;
    int offset = 0;
    std::string media_root;
    std::string current_filter;
    std::vector<std::string> servers;
    std::vector<std::string> mru;
    std::string unbound;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ini = dir.file("settings.ini");
};

TEST_F(SettingsStoreTest, NoFileKeepsDefaultsAndSaveWritesOneSectionInOrder) {
    SampleSettings settings(ini);
    EXPECT_TRUE(settings.load());
    EXPECT_FALSE(settings.verbose);
    EXPECT_TRUE(settings.autostart);
    EXPECT_EQ(settings.port, 81);
    EXPECT_EQ(settings.media_root, "/music/");
    EXPECT_EQ(settings.servers, (std::vector<std::string>{"http://a/", "http://b/"}));
    EXPECT_TRUE(settings.save());
    // Booleans, integers, strings, lists; each group by ascending byte-wise key; an empty list
    // writes nothing.
    EXPECT_EQ(
        read_file(ini),
        "[Settings]\r\nAutostart=true\r\nVerbose=false\r\nOffset=-5\r\nport=81\r\n"
        "current_filter=\r\nmedia_root=/music/\r\nServer1=http://a/\r\nServer2=http://b/\r\n");
}

TEST_F(SettingsStoreTest, SavedValuesLoadBack) {
    SampleSettings first(ini);
    first.verbose = true;
    first.port = -12;
    first.media_root = "/home/ä/Music/";
    first.mru = {"rock", "jazz"};
    first.save();
    SampleSettings second(ini);
    second.load();
    EXPECT_TRUE(second.verbose);
    EXPECT_EQ(second.port, -12);
    EXPECT_EQ(second.media_root, "/home/ä/Music/");
    EXPECT_EQ(second.mru, first.mru);
}

TEST_F(SettingsStoreTest, BooleanForms) {
    SampleSettings settings(ini);
    for (const char* yes : {"1", "true", "TRUE", " \tTrue \t", " 1 "}) {
        write_file(ini, std::string("[Settings]\nVerbose=") + yes + "\n");
        settings.verbose = false;
        settings.load();
        EXPECT_TRUE(settings.verbose) << yes;
    }
    for (const char* no : {"yes", "on", "2", "0", "false", "", "truee", "01"}) {
        write_file(ini, std::string("[Settings]\nVerbose=") + no + "\n");
        settings.verbose = true;
        settings.load();
        EXPECT_FALSE(settings.verbose) << no;
    }
    write_file(ini, "[Settings]\n");
    settings.verbose = true;
    settings.load();
    EXPECT_TRUE(settings.verbose);  // a missing key leaves the value
}

TEST_F(SettingsStoreTest, MissingKeysKeepCurrentValuesAndOtherFileIsUsedWhenNamed) {
    const auto other = dir.file("other.ini");
    write_file(other, "[settings]\nPORT=99\nmedia_root=\n");
    SampleSettings settings(ini);
    settings.offset = 3;
    settings.load(other);
    EXPECT_EQ(settings.port, 99);
    EXPECT_EQ(settings.offset, 3);
    EXPECT_EQ(settings.media_root, "");  // an empty value is a value
    EXPECT_EQ(settings.file_name, ini);
}

TEST_F(SettingsStoreTest, ShorterListBlanksStaleItems) {
    SampleSettings settings(ini);
    settings.mru = {"a", "b", "c"};
    settings.save();
    settings.mru = {"z"};
    settings.save();
    const auto text = read_file(ini);
    EXPECT_NE(text.find("MRU1=z\r\nMRU2=\r\nMRU3=\r\n"), std::string::npos) << text;
    SampleSettings again(ini);
    again.load();
    EXPECT_EQ(again.mru, std::vector<std::string>{"z"});
}

TEST_F(SettingsStoreTest, EmptyMiddleItemEndsTheList) {
    SampleSettings settings(ini);
    settings.mru = {"a", "", "c"};
    settings.save();
    EXPECT_NE(read_file(ini).find("MRU1=a\r\nMRU2=\r\nMRU3=c\r\n"), std::string::npos);
    SampleSettings again(ini);
    again.load();
    EXPECT_EQ(again.mru, std::vector<std::string>{"a"});
}

TEST_F(SettingsStoreTest, ListDefaultSurvivesAbsentFirstKeyOnly) {
    write_file(ini, "[Settings]\nServer2=http://orphan/\nMRU1=\n");
    SampleSettings settings(ini);
    settings.load();
    EXPECT_EQ(settings.servers, (std::vector<std::string>{"http://a/", "http://b/"}));
    write_file(ini, "[Settings]\nServer1=http://only/\n");
    settings.load();
    EXPECT_EQ(settings.servers, std::vector<std::string>{"http://only/"});
}

TEST_F(SettingsStoreTest, LongStringReadsBackCut) {
    SampleSettings settings(ini);
    settings.media_root = std::string(600, 'm');
    settings.save();
    settings.load();
    EXPECT_EQ(settings.media_root, std::string(511, 'm'));
}

TEST_F(SettingsStoreTest, SaveSettingWritesOnlyTheBoundString) {
    write_file(ini, "[Settings]\nport=1\ncurrent_filter=old\n");
    SampleSettings settings(ini);
    settings.port = 5;
    settings.current_filter = "new filter";
    EXPECT_TRUE(settings.save_setting(settings.current_filter));
    EXPECT_EQ(read_file(ini), "[Settings]\nport=1\ncurrent_filter=new filter\n");
    // A string with equal content that is not the bound variable is not a setting.
    std::string copy = settings.current_filter;
    EXPECT_FALSE(settings.save_setting(copy));
    EXPECT_FALSE(settings.save_setting(settings.unbound));
    EXPECT_EQ(read_file(ini), "[Settings]\nport=1\ncurrent_filter=new filter\n");
}

TEST_F(SettingsStoreTest, SaveSettingsWritesOnlyTheNamedVariablesInOneGo) {
    write_file(ini, "; mine\n[Settings]\nport=1\nMRU1=a\nMRU2=b\nMRU3=c\nVerbose=true\n");
    SampleSettings settings(ini);
    settings.port = 8081;
    settings.offset = 3;
    settings.autostart = false;
    settings.media_root = "/elsewhere/";
    settings.mru = {"x"};
    EXPECT_TRUE(settings.save_settings({&settings.port, &settings.autostart, &settings.mru}));
    // Each written as save() writes it (the list's stale tail blanked); offset, media_root and
    // the hand-written lines stay as they were.
    EXPECT_EQ(read_file(ini),
              "; mine\n[Settings]\nport=8081\nMRU1=x\nMRU2=\nMRU3=\n"
              "Verbose=true\nAutostart=false\n");
    settings.load();
    EXPECT_EQ(settings.mru, std::vector<std::string>{"x"});

    // One variable bound to nothing spoils the whole save.
    settings.port = 9;
    EXPECT_FALSE(settings.save_settings({&settings.port, &settings.unbound}));
    EXPECT_EQ(profile_read_int("Settings", "port", 0, ini), 8081);
    SampleSettings nowhere(dir.file("missing/settings.ini"));
    EXPECT_FALSE(nowhere.save_settings({&nowhere.port}));
}

TEST_F(SettingsStoreTest, RebindReplacesEarlierBinding) {
    SampleSettings settings(ini);
    std::string replacement;
    settings.add_string("media_root", replacement, "/other/");
    EXPECT_EQ(replacement, "/other/");
    EXPECT_FALSE(settings.save_setting(settings.media_root));
    EXPECT_TRUE(settings.save_setting(replacement));
    EXPECT_EQ(profile_read_string("Settings", "media_root", "", ini), "/other/");
}

TEST_F(SettingsStoreTest, SaveKeepsForeignContent) {
    write_file(ini, "; hand-written\n[Window]\nx=10\n\n[Settings]\nport=80\nextra=1\n");
    SampleSettings settings(ini);
    settings.load();
    settings.save();
    const auto text = read_file(ini);
    EXPECT_EQ(text.rfind("; hand-written\n[Window]\nx=10\n\n[Settings]\nport=80\nextra=1\n"
                         "Autostart=true\nVerbose=false\n",
                         0),
              0u)
        << text;
}

// Notepad's "UTF-8 with BOM": the section after the mark is the store's, and a save keeps the
// mark and that one section.
TEST_F(SettingsStoreTest, FileWithUtf8MarkIsReadAndSavedInPlace) {
    const std::string mark = "\xEF\xBB\xBF";
    write_file(ini, mark + "[Settings]\r\nport=8080\r\nmedia_root=/mine/\r\n");
    SampleSettings settings(ini);
    ASSERT_TRUE(settings.load());
    EXPECT_EQ(settings.port, 8080);
    EXPECT_EQ(settings.media_root, "/mine/");
    settings.port = 8081;
    ASSERT_TRUE(settings.save());
    const auto text = read_file(ini);
    EXPECT_EQ(text.rfind(mark + "[Settings]\r\nport=8081\r\nmedia_root=/mine/\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[Settings]", mark.size() + 1), std::string::npos) << text;
}

TEST_F(SettingsStoreTest, FailedWritesAndReadsAreReportedAndChangeNothing) {
    SampleSettings settings(dir.file("missing/settings.ini"));
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(settings.save_setting(settings.current_filter));
    EXPECT_TRUE(settings.load()) << "a missing file is one without keys";
    EXPECT_EQ(settings.port, 81);

    std::filesystem::create_directory(dir.file("folder.ini"));  // exists, cannot be read
    SampleSettings unreadable(dir.file("folder.ini"));
    unreadable.port = 7;
    EXPECT_FALSE(unreadable.load());
    EXPECT_EQ(unreadable.port, 7);
    EXPECT_FALSE(unreadable.save());
}

}  // namespace
}  // namespace dravo
