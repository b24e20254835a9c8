// The folder scan on Windows: names in the code page, and their subjects lower-cased by byte.
#include <gtest/gtest.h>

#include "media_cache.h"
#include "temp_dir.h"

namespace dravo {
namespace {

TEST(MediaCacheWindows, CodePageNamesAreScannedAndLowerCasedByByte) {
    test::TempDir root, module;
    root.write("\xC5sa\\V\xC4RLD \xC9t\xC9.mp3", "x");  // Åsa\VÄRLD ÉtÉ.mp3
    MediaCache cache(module.slash());
    cache.refresh({root.slash(), "mp3"});
    auto held = cache.lock();
    ASSERT_EQ(cache.size(held), 1u);
    EXPECT_EQ(cache.entry(held, 0), "\xC5sa\\V\xC4RLD \xC9t\xC9.mp3");
    EXPECT_EQ(cache.subject(held, 0), "\xE5sa\\v\xE4rld \xC9t\xC9.mp3");
    EXPECT_EQ(test::read_file(module.file(kCacheFileName)), "\xC5sa\\V\xC4RLD \xC9t\xC9.mp3\r\n");
}

}  // namespace
}  // namespace dravo
