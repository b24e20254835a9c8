#pragma once
// A small INI ("profile") file layer with the three operations the settings store needs.
// Reading matches section and key names without regard to ASCII letter case and trims blanks and
// tabs around names and values. Writing keeps every other byte of the file (other sections, keys,
// comments, line ends) as it was, and replaces the file atomically (temporary file in the same
// folder, flushed to disk, then renamed over the original), so a crash mid-write leaves either
// the old or the new file, never a truncated one.
// Each call opens the file for one operation and closes it. Calls on the same file from several
// threads must be serialised by the caller.
//
// File format: "[section]" lines open a section (the name ends at the first ']'; a line without
// ']' opens none); "key=value" lines inside a section hold values; lines starting with ';' or '#'
// are comments; other lines are kept but mean nothing. Lines end in LF, CR LF or a lone CR; new
// lines take the style of the file's first line end (CR LF in a new file).
//
// Encodings: a file holds text in the platform's encoding (UTF-8 on POSIX, the ANSI code page on
// Windows). A file that starts with the UTF-8 byte-order mark (Notepad's "UTF-8 with BOM") is
// read after the mark and keeps it when written; on Windows its names and values are converted
// between UTF-8 and the code page, as the system's profile functions do. A file that starts with
// a UTF-16 or UTF-32 mark is not read: reads give the fallback and writes fail and leave it as it
// is (8-bit lines added to it would spoil it). Other marks are not recognised: they are bytes of
// the first line, which then opens no section.
//
// Where reads differ from Windows' own profile functions (GetPrivateProfileStringA and
// GetPrivateProfileIntA as wine implements them; every case is a row of the differential test
// tests/windows/profile_differential_test.cpp):
// - Quotes stay: Windows strips one pair of matching quotes (" or ') around a value. A filter
//   saved as "live at" (the filter language's quotes) must read back as written, and our own
//   writes never add quotes; a hand-quoted media_root="D:\Music\" keeps its quotes here.
// - Integers are decimal and saturate at the int limits. Windows also reads 0x, 0o and 0b
//   prefixes, only a value's first 29 characters, and a quoted number, and wraps a number beyond
//   32 bits around (port=4294967377 reads as 81, a valid port). The store only writes decimals.
// - ';' and '#' lines are comments; Windows reads them as keys named ";..." and "#...".
// - Keys before the first section belong to no section; Windows puts them in a section "".
// - A key missing from the first of several sections of the same name is looked up in the later
//   ones, and written where it was found; Windows looks only in the first. A file that the old
//   byte-order-mark fault spoilt holds in a second [Settings] the keys only our saves wrote.
// - A section name ends at the first ']' (Windows: the last); an empty key is never read; a
//   Ctrl+Z at a value's end is kept (Windows drops it).
// - UTF-16 and UTF-32 files (above).
// Writes agree: a value written by either side reads back alike, but for the cases above.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravo {

inline constexpr std::size_t kProfileValueMax = 511;  // bytes a read gives back at most

// The value of key in section, or fallback when the file, section or key is missing. A value
// longer than kProfileValueMax bytes is cut (never inside a UTF-8 sequence); the fallback is
// given back as it is. An empty value present in the file gives "".
std::string profile_read_string(const std::string& section, const std::string& key,
                                const std::string& fallback, const std::string& file);
// The value read as a decimal integer, or fallback when the key is missing or its value empty.
// A value is read as an optional sign and the decimal digits that follow it; whatever comes after
// them is ignored ("12abc" gives 12), a value without leading digits gives 0 ("abc", "+"), and a
// number beyond the int range gives the nearest int limit.
int profile_read_int(const std::string& section, const std::string& key, int fallback,
                     const std::string& file);
// Creates file and section when missing, replaces an existing key's line in place, otherwise
// inserts the key after the last key line of its section (or right after the section line), so
// blank lines and comments that close the section stay after it. A new section is appended at the
// end of the file after one blank line. Line breaks in section, key or value are dropped, since a
// value cannot span lines. False when the file cannot be read or written, or for a name that
// could not be read back (see ProfileDocument::write_string).
bool profile_write_string(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file);

// The same operations on a file held in memory, for callers that read or write many keys at once
// and want the file written in one atomic step. Not shared between threads.
class ProfileDocument {
public:
    // The file's content; a missing file gives an empty document. Empty when the file exists but
    // cannot be read, or starts with a UTF-16 or UTF-32 byte-order mark.
    static std::optional<ProfileDocument> load(const std::string& file);

    std::string read_string(const std::string& section, const std::string& key,
                            const std::string& fallback) const;
    int read_int(const std::string& section, const std::string& key, int fallback) const;
    // False, and nothing changed, for a name that could not be read back (empty, with '=' or ']',
    // blanks around it, or a key starting with ';', '#' or '[').
    bool write_string(const std::string& section, const std::string& key, const std::string& value);

    // The document as file bytes.
    std::string text() const;
    // Replaces file with the document atomically. False when that fails.
    bool commit(const std::string& file) const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", or "" for a last line without one
    };
    struct Location {
        std::optional<std::size_t> key_line;      // the key's line in its first section with it
        std::optional<std::size_t> insert_after;  // last key line (or header) of the first section
    };

    explicit ProfileDocument(const std::string& bytes);
    Location locate(const std::string& section, const std::string& key) const;
    // The value in the caller's encoding; section and key are given in it too.
    std::optional<std::string> find_value(const std::string& section, const std::string& key) const;
    // Text between the caller's encoding and the file's (UTF-8 after the UTF-8 mark).
    std::string in_file_encoding(const std::string& text) const;
    std::string from_file_encoding(std::string_view text) const;
    void append_section(const std::string& section, std::string key_line);

    std::string mark_;  // the UTF-8 byte-order mark the file starts with, or ""
    std::vector<Line> lines_;
    std::string line_end_;  // style for new lines
};

}  // namespace dravo
