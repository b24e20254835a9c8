// What adding a path puts on the playlist.
#include <gtest/gtest.h>

#include <filesystem>

#include "playlist_files.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using Entries = std::vector<std::string>;

TEST(PlaylistFiles, M3uResolvesRelativeEntriesAndSkipsComments) {
    test::TempDir folder;
    const std::string list =
        folder.write("lists/mix.m3u",
                     "#EXTM3U\r\n#EXTINF:12,Someone - Something\r\nsong one.mp3\r\n\r\n"
                     "../other/Värld.ogg\r\n/abs/x.wav\r\nhttp://radio.example/stream\r\n"
                     "file:///music/a%20b.mp3\r\nsub/./c.flac");
    const std::string base = folder.path();
    EXPECT_EQ(expand_entry(list), (Entries{base + "/lists/song one.mp3", base + "/other/Värld.ogg",
                                           "/abs/x.wav", "http://radio.example/stream",
                                           "/music/a b.mp3", base + "/lists/sub/c.flac"}));
}

TEST(PlaylistFiles, M3u8WithByteOrderMarkAndLfEnds) {
    test::TempDir folder;
    const std::string list = folder.write("a.M3U8", "\xEF\xBB\xBFone.mp3\ntwo.mp3\n");
    EXPECT_EQ(expand_entry(list), (Entries{folder.file("one.mp3"), folder.file("two.mp3")}));
}

TEST(PlaylistFiles, PlsGivesItsFilesInNumberOrder) {
    test::TempDir folder;
    const std::string list =
        folder.write("radio.pls",
                     "[playlist]\nNumberOfEntries=3\nFile2=b.mp3\nTitle2=Bee\nFile10=http://x/y\n"
                     "file1=/abs/a.mp3\nFileX=ignored\nLength1=-1\nVersion=2\n");
    EXPECT_EQ(expand_entry(list), (Entries{"/abs/a.mp3", folder.file("b.mp3"), "http://x/y"}));
}

TEST(PlaylistFiles, UrlShortcutGivesItsAddress) {
    test::TempDir folder;
    const std::string shortcut =
        folder.write("station.url", "[InternetShortcut]\r\nURL=http://radio.example:8000/live\r\n");
    EXPECT_EQ(expand_entry(shortcut), (Entries{"http://radio.example:8000/live"}));
    EXPECT_TRUE(expand_entry(folder.write("empty.url", "[InternetShortcut]\r\n")).empty());
}

TEST(PlaylistFiles, OtherPathsAreAddedAsTheyAre) {
    EXPECT_EQ(expand_entry("/music/a.mp3"), (Entries{"/music/a.mp3"}));
    EXPECT_EQ(expand_entry("http://host/list.m3u"), (Entries{"http://host/list.m3u"}))
        << "an address is played, not read as a file";
    EXPECT_EQ(expand_entry("rel/a.mp3"),
              (Entries{(std::filesystem::current_path() / "rel/a.mp3").string()}));
    EXPECT_TRUE(expand_entry("/no/such/list.m3u").empty());
    EXPECT_TRUE(expand_entry("").empty());
}

TEST(PlaylistFiles, NestedPlaylistsAreFollowedButLoopsEnd) {
    test::TempDir folder;
    folder.write("inner.m3u", "x.mp3\n");
    const std::string outer = folder.write("outer.m3u", "a.mp3\ninner.m3u\nb.mp3\n");
    EXPECT_EQ(expand_entry(outer),
              (Entries{folder.file("a.mp3"), folder.file("x.mp3"), folder.file("b.mp3")}));
    const std::string loop = folder.write("loop.m3u", "y.mp3\nloop.m3u\n");
    EXPECT_EQ(expand_entry(loop).size(), static_cast<std::size_t>(kPlaylistDepthMax + 1));
}

TEST(PlaylistFiles, FolderGivesItsAudioFilesSorted) {
    test::TempDir folder;
    folder.write("b/2.ogg", "");
    folder.write("a/1.MP3", "");
    folder.write("a/notes.txt", "");
    EXPECT_EQ(expand_entry_or_folder(folder.path()),
              (Entries{folder.file("a/1.MP3"), folder.file("b/2.ogg")}));
}

}  // namespace
}  // namespace dravo
