#include "media_cache.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "child_process_posix.h"
#include "temp_dir.h"
#include "text.h"

namespace dravo::test {
namespace {

namespace fs = std::filesystem;

class MediaCacheTest : public ::testing::Test {
protected:
    std::vector<std::string> entries(MediaCache& cache) {
        auto held = cache.lock();
        std::vector<std::string> out;
        for (std::size_t i = 0; i < cache.size(held); ++i) out.emplace_back(cache.entry(held, i));
        return out;
    }

    std::vector<std::string> rebuilt() {
        MediaCache cache(module.slash());
        cache.refresh(source);
        return entries(cache);
    }

    std::string cache_file() const { return module.slash() + kCacheFileName; }

    TempDir root;
    TempDir module;
    MediaSource source{root.slash(), "mp3 ogg wav url"};
};

TEST(ExtensionSet, TakesOnlyListedExtensionsWithLetterCase) {
    ExtensionSet set("mp3 ogg wav url");
    for (const char* name : {"a.mp3", "b.ogg", "c.wav", "d.url", ".mp3", "a.tar.mp3"})
        EXPECT_TRUE(set.matches(name)) << name;
    for (const char* name : {"A.MP3", "e.flac", "mp3", "ends.", "a.mp3.bak", "a.mp", "."})
        EXPECT_FALSE(set.matches(name)) << name;
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
          "ends.", ".hidden.ogg", "x.mp3/inner.ogg", "deep/er/still/song.wav"})
        write_file(root.slash() + name);
    std::vector<std::string> found = rebuilt();
    std::set<std::string> got(found.begin(), found.end());
    std::set<std::string> expected = {"a.mp3",
                                      "b.ogg",
                                      "c.wav",
                                      "d.url",
                                      ".mp3",
                                      "a.tar.mp3",
                                      ".hidden.ogg",
                                      "x.mp3/inner.ogg",
                                      "deep/er/still/song.wav"};
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
    for (int i = 0; i < 20; ++i) write_file(root.slash() + "many/" + std::to_string(i) + ".mp3");

    std::vector<std::string> expected;
    std::vector<std::string> folders;
    for (const auto& name : readdir_order(root.path())) {
        if (fs::is_directory(root.slash() + name))
            folders.push_back(name);
        else
            expected.push_back(name);
    }
    for (const auto& folder : folders) {
        std::vector<std::string> inner_folders;
        for (const auto& name : readdir_order(root.slash() + folder)) {
            if (fs::is_directory(root.slash() + folder + "/" + name))
                inner_folders.push_back(name);
            else
                expected.push_back(folder + "/" + name);
        }
        for (const auto& inner : inner_folders)
            for (const auto& name : readdir_order(root.slash() + folder + "/" + inner))
                expected.push_back(folder + "/" + inner + "/" + name);
    }
    EXPECT_EQ(rebuilt(), expected);
}

TEST_F(MediaCacheTest, RootWithoutSeparatorScansTheSame) {
    write_file(root.slash() + "Rock/Live/Song.mp3");
    write_file(root.slash() + "top.ogg");
    std::vector<std::string> with = rebuilt();
    source.root = with_trailing_separator(root.path());
    EXPECT_EQ(rebuilt(), with);
    EXPECT_EQ(std::count(with.begin(), with.end(), "Rock/Live/Song.mp3"), 1);
}

TEST_F(MediaCacheTest, EmptyRootScansTheCurrentFolder) {
    write_file(root.slash() + "here.mp3");
    write_file(root.slash() + "sub/there.mp3");
    ScopedCwd cwd(root.path());
    source.root = with_trailing_separator("");
    EXPECT_EQ(rebuilt(), (std::vector<std::string>{"here.mp3", "sub/there.mp3"}));
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
    for (const auto& entry : scanned) bytes += entry + "\r\n";
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

TEST_F(MediaCacheTest, SubjectsAreLowerCasedEntries) {
    write_file(root.slash() + "Rock/\xC3\x85\xC3\x84\xC3\x96 LIVE \xC3\x89t\xC3\x89.mp3");
    MediaCache cache(module.slash());
    cache.refresh(source);
    auto held = cache.lock();
    ASSERT_EQ(cache.size(held), 1u);
    EXPECT_EQ(cache.subject(held, 0), "rock/\xC3\xA5\xC3\xA4\xC3\xB6 live \xC3\x89t\xC3\x89.mp3");
}

TEST_F(MediaCacheTest, LinksAreFollowedButALoopEnds) {
    write_file(root.slash() + "a/song.mp3");
    write_file(root.path() + "_outside.mp3");
    fs::create_directory_symlink(root.path(), root.slash() + "a/up");      // loop to the root
    fs::create_directory_symlink(root.slash() + "a", root.slash() + "b");  // same folder twice
    fs::create_symlink(root.path() + "_outside.mp3", root.slash() + "linked.mp3");
    fs::create_symlink(root.slash() + "gone", root.slash() + "dangling.mp3");
    std::vector<std::string> found = rebuilt();
    fs::remove(root.path() + "_outside.mp3");
    std::set<std::string> got(found.begin(), found.end());
    EXPECT_EQ(got.size(), found.size());
    EXPECT_TRUE(got.count("linked.mp3"));
    EXPECT_TRUE(got.count("dangling.mp3"));  // not a folder, so an entry like any file
    EXPECT_EQ(got.count("a/song.mp3") + got.count("b/song.mp3"), 1u);
    EXPECT_EQ(found.size(), 3u);
}

TEST_F(MediaCacheTest, NamesWithLineBreaksAreLeftOut) {
    write_file(root.slash() + "bad\nname.mp3");
    write_file(root.slash() + "good.mp3");
    EXPECT_EQ(rebuilt(), std::vector<std::string>{"good.mp3"});
}

// Root reads every folder whatever its mode, so as root the scan runs in a child without it.
TEST_F(MediaCacheTest, UnreadableFolderIsSkippedAndItsSiblingsScanned) {
    write_file(root.slash() + "closed/hidden.mp3");
    write_file(root.slash() + "open/seen.mp3");
    write_file(root.slash() + "top.mp3");
    fs::permissions(root.path(), fs::perms(0755));
    fs::permissions(root.slash() + "closed", fs::perms::none);
    auto scan = [&] {
        std::vector<std::string> found;
        MediaCache::scan_directory(root.slash(), "", ExtensionSet("mp3"), found);
        std::set<std::string> got(found.begin(), found.end());
        return got == std::set<std::string>{"top.mp3", "open/seen.mp3"};
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(scan());
    } else {
        EXPECT_TRUE(in_child([&] { return setgid(65534) == 0 && setuid(65534) == 0 && scan(); }));
    }
    fs::permissions(root.slash() + "closed", fs::perms::owner_all);
}

// A disk that fills up mid-write must not leave a cut-off list that the next start would trust.
TEST_F(MediaCacheTest, CutOffCacheFileIsLeftEmpty) {
    for (int i = 0; i < 50; ++i) write_file(root.slash() + "track " + std::to_string(i) + ".mp3");
    EXPECT_TRUE(in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        MediaCache cache(module.slash());
        cache.refresh(source);
        return entries(cache).size() == 50;
    }));
    EXPECT_EQ(read_file(cache_file()), "");
}

}  // namespace
}  // namespace dravo::test
