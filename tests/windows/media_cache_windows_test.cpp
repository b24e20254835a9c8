// The folder scan on Windows: FindFirstFileA order, code-page names, backslash entries, and the
// cache file beside the module.
#include <gtest/gtest.h>

#include <algorithm>

#include "media_cache.h"
#include "temp_dir.h"

namespace dravo {
namespace {

std::vector<std::string> scan(const std::string& root, const std::string& extensions) {
    std::vector<std::string> out;
    MediaCache::scan_directory(root, "", ExtensionSet(extensions), out);
    return out;
}

TEST(MediaCacheWindows, FilesBeforeFoldersWithBackslashEntries) {
    test::TempDir root;
    for (const char* name : {"b.mp3", "c.ogg", "A\\a.mp3", "A\\x.mp3\\in.wav", "B\\skip.flac",
                             "\xC5sa\\v\xE4rld.mp3", "noext", "dot."})
        root.write(name, "x");
    auto entries = scan(root.slash(), "mp3 ogg wav url");
    // The files of a folder come in the file system's order; check the order of the levels.
    ASSERT_EQ(entries.size(), 5u);
    std::vector<std::string> top(entries.begin(), entries.begin() + 2);
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{"b.mp3", "c.ogg"}));
    std::vector<std::string> below(entries.begin() + 2, entries.end());
    std::sort(below.begin(), below.end());
    EXPECT_EQ(below,
              (std::vector<std::string>{"A\\a.mp3", "A\\x.mp3\\in.wav", "\xC5sa\\v\xE4rld.mp3"}));
}

TEST(MediaCacheWindows, MissingRootAndRootWithoutBackslash) {
    test::TempDir root;
    root.write("one.mp3", "x");
    EXPECT_TRUE(scan(root.slash() + "missing\\", "mp3").empty());
    EXPECT_EQ(scan(root.slash(), "MP3"), std::vector<std::string>{});
    MediaCache cache(root.slash());
    cache.refresh({with_trailing_separator(root.path()), "mp3"});
    auto lock = cache.lock();
    ASSERT_EQ(cache.size(lock), 1u);
    EXPECT_EQ(test::read_file(root.file(kCacheFileName)), "one.mp3\r\n");
}

}  // namespace
}  // namespace dravo
