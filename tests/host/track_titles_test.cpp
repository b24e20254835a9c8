// Display titles: tags when there are any, else the bare file name.
#include <gtest/gtest.h>

#include "temp_dir.h"
#include "track_titles.h"

namespace dravo {
namespace {

// An ID3v2.3 tag with the given text frames (ISO-8859-1 text), then some bytes of "audio".
std::string id3_file(const std::string& artist, const std::string& title) {
    std::string frames;
    const auto frame = [&](const char* id, const std::string& text) {
        const std::size_t size = text.size() + 1;
        frames += id;
        frames += {0, 0, static_cast<char>(size >> 8), static_cast<char>(size & 0xff), 0, 0, 0};
        frames += text;
    };
    if (!artist.empty()) {
        frame("TPE1", artist);
    }
    if (!title.empty()) {
        frame("TIT2", title);
    }
    const std::size_t size = frames.size();
    std::string header = {'I', 'D', '3', 3, 0, 0};
    header += {static_cast<char>((size >> 21) & 0x7f), static_cast<char>((size >> 14) & 0x7f),
               static_cast<char>((size >> 7) & 0x7f), static_cast<char>(size & 0x7f)};
    return header + frames + std::string(256, '\0');
}

TEST(TrackTitles, FileTitleDropsFolderAndLastExtension) {
    EXPECT_EQ(file_title("/music/Hej Värld.mp3"), "Hej Värld");
    EXPECT_EQ(file_title("/music/a.b.ogg"), "a.b");
    EXPECT_EQ(file_title("plain"), "plain");
    EXPECT_EQ(file_title("/x/.hidden"), ".hidden");
    EXPECT_EQ(file_title("http://radio.example/live.mp3"), "http://radio.example/live.mp3");
}

TEST(TrackTitles, TagsMakeArtistDashTitleOrTitleAlone) {
    EXPECT_EQ(make_title("/m/f.mp3", TrackTags{"Band", "Song"}), "Band - Song");
    EXPECT_EQ(make_title("/m/f.mp3", TrackTags{"", "Song"}), "Song");
    EXPECT_EQ(make_title("/m/f.mp3", TrackTags{"Band", ""}), "f") << "artist alone says too little";
    EXPECT_EQ(make_title("/m/f.mp3", TrackTags{"  ", " \t"}), "f");
    EXPECT_EQ(make_title("/m/f.mp3", std::nullopt), "f");
}

TEST(TrackTitles, UrlsAreRecognisedByTheirScheme) {
    EXPECT_TRUE(is_url("http://a/b"));
    EXPECT_TRUE(is_url("mms+tcp://a"));
    EXPECT_FALSE(is_url("/music/http://odd"));
    EXPECT_FALSE(is_url("://x"));
    EXPECT_FALSE(is_url("/plain/file.mp3"));
}

TEST(TrackTitles, ReadsTagsFromTheFile) {
    test::TempDir folder;
    EXPECT_EQ(read_title(folder.write("tagged.mp3", id3_file("Artist", "Title"))),
              "Artist - Title");
    EXPECT_EQ(read_title(folder.write("only title.mp3", id3_file("", "Lone"))), "Lone");
    EXPECT_EQ(read_title(folder.write("garbage name.mp3", std::string(4096, 'x'))), "garbage name");
    EXPECT_EQ(read_title(folder.file("missing file.ogg")), "missing file");
    EXPECT_FALSE(read_tags(folder.file("missing file.ogg")));
}

}  // namespace
}  // namespace dravo
