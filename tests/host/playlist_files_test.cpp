// What adding a path puts on the playlist.
#include <gtest/gtest.h>

#include <filesystem>

#include "playlist_files.h"
#include "temp_dir.h"

namespace dravo {
namespace {

using Entries = std::vector<std::string>;

TEST(PlaylistFiles, ListFilesGiveTheirEntries) {
    test::TempDir folder;
    const auto in = [&](const std::string& name) { return folder.file(name); };
    const struct {
        const char* name;
        std::string content;
        Entries entries;
    } cases[] = {
        // Relative entries resolve against the list's folder; comments and blank lines go.
        {"lists/mix.m3u",
         "#EXTM3U\r\n#EXTINF:12,Someone - Something\r\nsong one.mp3\r\n\r\n../other/Värld.ogg\r\n"
         "/abs/x.wav\r\nhttp://radio.example/stream\r\nfile:///music/a%20b.mp3\r\nsub/./c.flac",
         {in("lists/song one.mp3"), in("other/Värld.ogg"), "/abs/x.wav",
          "http://radio.example/stream", "/music/a b.mp3", in("lists/sub/c.flac")}},
        {"a.M3U8", "\xEF\xBB\xBFone.mp3\ntwo.mp3\n", {in("one.mp3"), in("two.mp3")}},  // BOM, LF
        // Files in number order.
        {"radio.pls",
         "[playlist]\nNumberOfEntries=3\nFile2=b.mp3\nTitle2=Bee\nFile10=http://x/y\n"
         "file1=/abs/a.mp3\nFileX=ignored\nLength1=-1\nVersion=2\n",
         {"/abs/a.mp3", in("b.mp3"), "http://x/y"}},
        // A shortcut gives its address.
        {"station.url",
         "[InternetShortcut]\r\nURL=http://radio.example:8000/live\r\n",
         {"http://radio.example:8000/live"}},
        {"empty.url", "[InternetShortcut]\r\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(expand_entry(folder.write(c.name, c.content)), c.entries) << c.name;
    }
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
