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
// File format: "[section]" lines open a section; "key=value" lines inside a section hold values;
// lines starting with ';' or '#' are comments; other lines are kept but mean nothing. Lines end in
// LF or CR LF; new lines take the style of the file's first line end (CR LF in a new file).
#include <cstddef>
#include <optional>
#include <string>
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
    // cannot be read.
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
    std::optional<std::string> find_value(const std::string& section, const std::string& key) const;
    void append_section(const std::string& section, std::string key_line);

    std::vector<Line> lines_;
    std::string line_end_;  // style for new lines
};

}  // namespace dravo
