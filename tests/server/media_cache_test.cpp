#include "media_cache.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "media_cache_fixture.h"

namespace dravo::test {
namespace {

TEST(ExtensionSet, TakesOnlyListedExtensionsWithLetterCase) {
    ExtensionSet set("mp3 ogg wav url");
    for (const char* name : {"a.mp3", "b.ogg", "c.wav", "d.url", ".mp3", "a.tar.mp3"}) {
        EXPECT_TRUE(set.matches(name)) << name;
    }
    for (const char* name : {"A.MP3", "e.flac", "mp3", "ends.", "a.mp3.bak", "a.mp", "."}) {
        EXPECT_FALSE(set.matches(name)) << name;
    }
}

TEST(ExtensionSet, SplitsAtAnyRunOfWhiteSpace) {
    ExtensionSet set("  mp3\t\togg\r\nwav  ");
    EXPECT_TRUE(set.matches("a.mp3"));
    EXPECT_TRUE(set.matches("a.ogg"));
    EXPECT_TRUE(set.matches("a.wav"));
    EXPECT_FALSE(set.matches("a.mp3\togg"));
    EXPECT_FALSE(ExtensionSet("").matches("a."));
    EXPECT_FALSE(ExtensionSet("").matches("a.mp3"));
}

TEST_F(MediaCacheTest, ScanKeepsMediaFilesOnlyAndEntersEveryFolder) {
    for (const char* name :
         {"a.mp3", "b.ogg", "c.wav", "d.url", ".mp3", "a.tar.mp3", "A.MP3", "e.flac", "noext",
          "ends.", ".hidden.ogg", "x.mp3/inner.ogg", "deep/er/still/song.wav"}) {
        write_file(root.slash() + name);
    }
    std::vector<std::string> found = rebuilt();
    std::set<std::string> got(found.begin(), found.end());
    std::set<std::string> expected = {"a.mp3",
                                      "b.ogg",
                                      "c.wav",
                                      "d.url",
                                      ".mp3",
                                      "a.tar.mp3",
                                      ".hidden.ogg",
                                      native("x.mp3/inner.ogg"),
                                      native("deep/er/still/song.wav")};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(found.size(), expected.size());  // nothing twice
}

// The order the file system gives, files of a folder before its subfolders, depth first.
TEST_F(MediaCacheTest, OrderIsFileSystemOrderFilesBeforeFolders) {
    fs::create_directories(root.slash() + "A/inner");
    write_file(root.slash() + "A/a.mp3");
    write_file(root.slash() + "A/inner/i.mp3");
    write_file(root.slash() + "b.mp3");
    write_file(root.slash() + "c.mp3");
    write_file(root.slash() + "B/z.ogg");
    write_file(root.slash() + "B/y.ogg");
    for (int i = 0; i < 20; ++i) {
        write_file(root.slash() + "many/" + std::to_string(i) + ".mp3");
    }

    std::vector<std::string> expected;
    std::vector<std::string> folders;
    for (const auto& name : readdir_order(root.path())) {
        if (fs::is_directory(root.slash() + name)) {
            folders.push_back(name);
        } else {
            expected.push_back(name);
        }
    }
    for (const auto& folder : folders) {
        std::vector<std::string> inner_folders;
        for (const auto& name : readdir_order(root.slash() + folder)) {
            if (fs::is_directory(root.slash() + folder + "/" + name)) {
                inner_folders.push_back(name);
            } else {
                expected.push_back(native(folder + "/" + name));
            }
        }
        for (const auto& inner : inner_folders) {
            for (const auto& name : readdir_order(root.slash() + folder + "/" + inner)) {
                expected.push_back(native(folder + "/" + inner + "/" + name));
            }
        }
    }
    EXPECT_EQ(rebuilt(), expected);
}

TEST_F(MediaCacheTest, RootWithoutSeparatorScansTheSame) {
    write_file(root.slash() + "Rock/Live/Song.mp3");
    write_file(root.slash() + "top.ogg");
    std::vector<std::string> with = rebuilt();
    source.root = with_trailing_separator(root.path());
    EXPECT_EQ(rebuilt(), with);
    EXPECT_EQ(std::count(with.begin(), with.end(), native("Rock/Live/Song.mp3")), 1);
}

TEST_F(MediaCacheTest, EmptyRootScansTheCurrentFolder) {
    write_file(root.slash() + "here.mp3");
    write_file(root.slash() + "sub/there.mp3");
    ScopedCwd cwd(root.path());
    source.root = with_trailing_separator("");
    EXPECT_EQ(rebuilt(), (std::vector<std::string>{"here.mp3", native("sub/there.mp3")}));
}

TEST_F(MediaCacheTest, MissingRootGivesNothingAndAnEmptyCacheFile) {
    write_file(cache_file(), "stale.mp3\r\n");
    source.root = with_trailing_separator(root.slash() + "missing/");
    EXPECT_TRUE(rebuilt().empty());
    EXPECT_EQ(read_file(cache_file()), "");
}

TEST_F(MediaCacheTest, CacheFileHoldsOneCrLfLinePerEntryAndLoadsBack) {
    write_file(root.slash() + "one.mp3");
    write_file(root.slash() + "Folder/two.ogg");
    std::vector<std::string> scanned = rebuilt();
    std::string bytes;
    for (const auto& entry : scanned) {
        bytes += entry + "\r\n";
    }
    EXPECT_EQ(read_file(cache_file()), bytes);

    // A fresh cache loads the file and does not scan: the files are gone by now.
    fs::remove_all(root.slash() + "Folder");
    fs::remove(root.slash() + "one.mp3");
    MediaCache cache(module.slash());
    cache.ensure_loaded(cache.lock(), source);
    EXPECT_EQ(entries(cache), scanned);
}

TEST_F(MediaCacheTest, ReadingDropsCrLfOrLfAndKeepsEmptyLines) {
    struct Case {
        std::string bytes;
        std::vector<std::string> entries;
    };
    for (const Case& c :
         {Case{"x.mp3\r\ny.mp3\r\n", {"x.mp3", "y.mp3"}}, Case{"x.mp3\ny.mp3", {"x.mp3", "y.mp3"}},
          Case{"x.mp3\r\n\r\ny.mp3\n", {"x.mp3", "", "y.mp3"}}, Case{"\r\n", {""}}}) {
        write_file(cache_file(), c.bytes);
        MediaCache cache(module.slash());
        cache.ensure_loaded(cache.lock(), source);
        EXPECT_EQ(entries(cache), c.entries) << c.bytes;
    }
}

TEST_F(MediaCacheTest, EnsureLoadedScansWhenTheFileGivesNothingAndThenKeepsItsEntries) {
    write_file(root.slash() + "a.mp3");
    write_file(cache_file(), "");
    MediaCache cache(module.slash());
    cache.ensure_loaded(cache.lock(), source);
    EXPECT_EQ(entries(cache), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(read_file(cache_file()), "a.mp3\r\n");

    // Entries in memory win over a changed file and tree until a refresh.
    write_file(cache_file(), "other.mp3\r\n");
    write_file(root.slash() + "b.mp3");
    cache.ensure_loaded(cache.lock(), source);
    EXPECT_EQ(entries(cache), std::vector<std::string>{"a.mp3"});
    cache.refresh(source);
    EXPECT_EQ(entries(cache).size(), 2u);
}

TEST_F(MediaCacheTest, UnwritableCacheFileKeepsTheScanInMemory) {
    write_file(root.slash() + "a.mp3");
    MediaCache cache(root.slash() + "no/such/dir/");
    cache.ensure_loaded(cache.lock(), source);
    EXPECT_EQ(entries(cache), std::vector<std::string>{"a.mp3"});
}

}  // namespace
}  // namespace dravo::test
