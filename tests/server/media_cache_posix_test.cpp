#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <set>

#include "child_process_posix.h"
#include "media_cache_fixture.h"

namespace dravo::test {
namespace {

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
    write_file(root.slash() + "bad\nfolder/inside.mp3");  // its entry would hold the break
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
    for (int i = 0; i < 50; ++i) {
        write_file(root.slash() + "track " + std::to_string(i) + ".mp3");
    }
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
