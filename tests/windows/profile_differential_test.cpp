// Our INI layer against Windows' own profile functions (GetPrivateProfileStringA,
// GetPrivateProfileIntA and WritePrivateProfileStringA; under wine, wine's) on the same files.
// A read row is a file and one read by both sides; a write row first has one side write the key
// and then both read it back. A row that differs on purpose names what Windows reads and why
// (common/profile_file.h says the same); any other difference fails.
// The code page is Windows-1252, as in a Western Windows and in wine's default prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "profile_file.h"
#include "temp_dir.h"

namespace dravo {
namespace {

constexpr const char* kMissing = "<missing>";
constexpr int kMissingNumber = -7;

enum class Kind { text, number };

struct Read {
    Kind kind;
    const char* section;
    const char* key;
};

Read text(const char* section, const char* key) { return {Kind::text, section, key}; }
Read number(const char* section, const char* key) { return {Kind::number, section, key}; }

struct Row {
    const char* what;
    std::string file;
    Read read;
    const char* ours;               // what our layer reads (a number in decimal)
    const char* windows = nullptr;  // what Windows reads, where it differs on purpose
    const char* why = nullptr;      // the reason, for every difference
};

enum class Writer { ours, windows };

struct WriteRow {
    const char* what;
    std::string file;
    Writer writer;
    Read read;  // the key written, and how it is read back
    const char* value;
    const char* ours;
    const char* windows = nullptr;
    const char* why = nullptr;
};

const std::string kMark = "\xEF\xBB\xBF";  // UTF-8, Notepad's "UTF-8 with BOM"
const std::string kCut(kProfileValueMax, 'x');
const std::string kArrow = "\xE2\x86\x92";  // U+2192 in UTF-8, not in Windows-1252
const std::string kNotUtf8 = "\xFF";

std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += {c, '\0'};
    }
    return bytes;
}

std::string utf16be(const std::string& ascii) {
    std::string bytes = "\xFE\xFF";
    for (const char c : ascii) {
        bytes += {'\0', c};
    }
    return bytes;
}

std::string utf16_without_mark(const std::string& ascii) { return utf16le(ascii).substr(2); }

constexpr const char* kQuotes =
    "Windows strips one pair of quotes; ours keeps the value as written";
constexpr const char* kDecimal = "ours reads decimals only; the store writes nothing else";
constexpr const char* kSaturate =
    "ours saturates; Windows wraps around and may land on a valid port";
constexpr const char* kComment = "';' and '#' lines are comments to ours and to INI editors";
constexpr const char* kWide = "ours does not read UTF-16 files (and never writes into them)";

const Row kReads[] = {
    // Agreement: what our settings meet.
    {"plain value", "[Settings]\r\nport=8081\r\n", text("Settings", "port"), "8081"},
    {"names in any case, blanks and tabs around names and values",
     " [ sEtTiNgS ] \r\n\tMedia_Root \t=  D:\\a b \t\r\n", text("Settings", "media_root"),
     "D:\\a b"},
    {"missing key", "[Settings]\r\nport=8081\r\n", text("Settings", "media_root"), kMissing},
    {"missing section", "[Other]\r\nport=8081\r\n", text("Settings", "port"), kMissing},
    {"empty value", "[Settings]\r\nport=\r\n", text("Settings", "port"), ""},
    {"empty value as a number", "[Settings]\r\nport=\r\n", number("Settings", "port"), "-7"},
    {"LF line ends", "[Settings]\nport=8081\n", text("Settings", "port"), "8081"},
    {"'=' inside the value", "[S]\nk = x=y\n", text("S", "k"), "x=y"},
    {"text after the value is the value's", "[S]\nport=8081 ; http\n", text("S", "port"),
     "8081 ; http"},
    {"text after a number", "[S]\nport=8081 ; http\n", number("S", "port"), "8081"},
    {"first of two keys", "[S]\nk=first\nk=second\n", text("S", "k"), "first"},
    {"key in both sections of one name", "[S]\nk=first\n[s]\nk=second\n", text("S", "k"), "first"},
    {"line without '='", "[S]\nnot a key line\n", text("S", "not a key line"), kMissing},
    {"long value cut to 511", "[S]\nk=" + std::string(600, 'x') + "\n", text("S", "k"),
     kCut.c_str()},
    {"quote on one side only", "[S]\nk=\"abc\n", text("S", "k"), "\"abc"},
    {"quotes inside a filter", "[S]\nk=\"live at\" rock\n", text("S", "k"), "\"live at\" rock"},
    {"code-page letter", "[S]\nk=Bj\xF6rk\n", text("S", "k"), "Bj\xF6rk"},
    {"decimal forms", "[S]\na=-5\n", number("S", "a"), "-5"},
    {"plus sign", "[S]\na=+7\n", number("S", "a"), "7"},
    {"digits then text", "[S]\na=12abc\n", number("S", "a"), "12"},
    {"no digits", "[S]\na=abc\n", number("S", "a"), "0"},
    {"leading zero is not octal", "[S]\na=010\n", number("S", "a"), "10"},
    {"smallest int", "[S]\na=-2147483648\n", number("S", "a"), "-2147483648"},
    {"unclosed bracket opens no section", "[Other]\r\n[Settings\r\nport=8081\r\n",
     text("Settings", "port"), kMissing},
    {"keys after an unclosed bracket stay in the section before",
     "[Other]\r\n[Settings\r\nport=8081\r\n", text("Other", "port"), "8081"},
    {"section name followed by a comment", "[Settings] ; mine\r\nport=8081\r\n",
     text("Settings", "port"), "8081"},
    {"lone CR line ends", "[Settings]\rport=8081\rmedia_root=D:\\x\r", text("Settings", "port"),
     "8081"},
    {"CR CR LF line ends", "[Settings]\r\r\nmedia_root=D:\\x\r\r\n", text("Settings", "media_root"),
     "D:\\x"},
    {"UTF-16 without a mark is not text", utf16_without_mark("[Settings]\r\nport=8081\r\n"),
     text("Settings", "port"), kMissing},

    // The byte-order mark: the lost settings.
    {"UTF-8 mark", kMark + "[Settings]\r\nport=8081\r\n", text("Settings", "port"), "8081"},
    {"UTF-8 mark, number", kMark + "[Settings]\r\nport=8081\r\n", number("Settings", "port"),
     "8081"},
    {"UTF-8 mark, letters to the code page",
     kMark + "[Settings]\r\nmedia_root=D:\\Bj\xC3\xB6rk\\\r\n", text("Settings", "media_root"),
     "D:\\Bj\xF6rk\\"},
    {"UTF-8 mark, a letter the code page lacks", kMark + "[S]\r\nk=a" + kArrow + "b\r\n",
     text("S", "k"), "a?b"},
    {"UTF-8 mark, a byte that is not UTF-8", kMark + "[S]\r\nk=a" + kNotUtf8 + "b\r\n",
     text("S", "k"), "a?b"},
    {"UTF-8 mark alone", kMark, text("Settings", "port"), kMissing},

    // Intended differences.
    {"quoted path", "[Settings]\r\nmedia_root=\"D:\\Music\\\"\r\n", text("Settings", "media_root"),
     "\"D:\\Music\\\"", "D:\\Music\\", kQuotes},
    {"quoted filter", "[Settings]\r\ncurrent_filter=\"live at\"\r\n",
     text("Settings", "current_filter"), "\"live at\"", "live at", kQuotes},
    {"single quotes", "[S]\nk='x y'\n", text("S", "k"), "'x y'", "x y", kQuotes},
    {"empty quotes", "[S]\nk=\"\"\n", text("S", "k"), "\"\"", "", kQuotes},
    {"quoted number", "[S]\na=\"42\"\n", number("S", "a"), "0", "42", kQuotes},
    {"hexadecimal", "[S]\na=0x10\n", number("S", "a"), "0", "16", kDecimal},
    {"binary", "[S]\na=0b101\n", number("S", "a"), "0", "5", kDecimal},
    {"beyond int", "[S]\na=99999999999\n", number("S", "a"), "2147483647", "1215752191", kSaturate},
    {"beyond 32 bits, wrapped onto a port", "[S]\na=4294967377\n", number("S", "a"), "2147483647",
     "81", kSaturate},
    {"just beyond int", "[S]\na=2147483648\n", number("S", "a"), "2147483647", "-2147483648",
     kSaturate},
    {"a number after 29 characters", "[S]\na=000000000000000000000000000000042\n", number("S", "a"),
     "42", "0", "Windows reads a number's first 29 characters only"},
    {"';' line", "[S]\n;b=commented\n", text("S", ";b"), kMissing, "commented", kComment},
    {"'#' line", "[S]\n#c=hashed\n", text("S", "#c"), kMissing, "hashed", kComment},
    {"key before any section", "a=outside\n[S]\nb=1\n", text("", "a"), kMissing, "outside",
     "ours reads keys inside sections only; no setting of ours lives outside one"},
    {"key only in a second section of one name", "[S]\nx=1\n[T]\n[s]\nk=old\n", text("S", "k"),
     "old", kMissing,
     "ours looks on in later sections: a file spoilt by the old mark fault keeps keys there"},
    {"']' inside a section name", "[a]b]\nk=v\n", text("a", "k"), "v", kMissing,
     "ours ends the name at the first ']' (Windows at the last); our names hold no ']'"},
    {"empty key", "[S]\n=v\n", text("S", ""), kMissing, "v",
     "ours reads no empty key; no setting of ours has one"},
    {"Ctrl+Z after the value", "[S]\nk=v\x1A", text("S", "k"), "v\x1A", "v",
     "ours trims blanks and tabs only; no editor of today ends a file with Ctrl+Z"},
    {"UTF-16 LE mark", utf16le("[Settings]\r\nport=8081\r\n"), text("Settings", "port"), kMissing,
     "8081", kWide},
    {"UTF-16 BE mark", utf16be("[Settings]\r\nport=8081\r\n"), text("Settings", "port"), kMissing,
     "8081", kWide},
};

const WriteRow kWrites[] = {
    {"new file, ours", "", Writer::ours, text("Settings", "port"), "81", "81"},
    {"new file, Windows", "", Writer::windows, text("Settings", "port"), "81", "81"},
    {"number, ours", "[Settings]\r\nport=8081\r\n", Writer::ours, number("Settings", "port"), "81",
     "81"},
    {"blanks around the value, ours", "[S]\r\n", Writer::ours, text("S", "k"), "  v  ", "v"},
    {"blanks around the value, Windows", "[S]\r\n", Writer::windows, text("S", "k"), "  v  ", "v"},
    {"between comments and sections, ours", "; top\n[S]\nk=1\n; end\n\n[T]\nz=1\n", Writer::ours,
     text("S", "j"), "2", "2"},
    {"between comments and sections, Windows", "; top\n[S]\nk=1\n; end\n\n[T]\nz=1\n",
     Writer::windows, text("S", "j"), "2", "2"},
    {"after keys before any section, ours", "a=outside\n[S]\nb=1\n", Writer::ours, text("S", "c"),
     "3", "3"},
    {"line breaks in a value, ours", "[S]\r\nport=81\r\n", Writer::ours, text("S", "f"),
     "rock\r\n[S]\nport=1", "rock[S]port=1"},
    {"lone CR line ends, ours", "[S]\rk=1\r", Writer::ours, text("S", "k"), "2", "2"},
    {"UTF-8 mark, ours", kMark + "[Settings]\r\nport=8081\r\n", Writer::ours,
     text("Settings", "port"), "81", "81"},
    {"UTF-8 mark, Windows", kMark + "[Settings]\r\nport=8081\r\n", Writer::windows,
     text("Settings", "port"), "81", "81"},
    {"UTF-8 mark, new key, ours", kMark + "[Settings]\r\nport=8081\r\n", Writer::ours,
     text("Settings", "media_root"), "D:\\x\\", "D:\\x\\"},
    {"UTF-8 mark, letter, ours", kMark + "[Settings]\r\n", Writer::ours,
     text("Settings", "current_filter"), "Bj\xF6rk", "Bj\xF6rk"},
    {"UTF-8 mark, letter, Windows", kMark + "[Settings]\r\n", Writer::windows,
     text("Settings", "current_filter"), "Bj\xF6rk", "Bj\xF6rk"},
    {"UTF-8 mark alone, ours", kMark, Writer::ours, text("Settings", "port"), "81", "81"},
    {"quoted filter, ours", "[Settings]\r\n", Writer::ours, text("Settings", "current_filter"),
     "\"live at\"", "\"live at\"", "live at", kQuotes},
    {"quoted filter, Windows", "[Settings]\r\n", Writer::windows,
     text("Settings", "current_filter"), "\"live at\"", "\"live at\"", "live at", kQuotes},
    {"key in a second section of one name, ours", "[S]\nx=1\n[s]\nk=old\n", Writer::ours,
     text("S", "k"), "new", "new", kMissing,
     "ours replaces the key where it reads it; Windows reads the first section only"},
    {"key in a second section of one name, Windows", "[S]\nx=1\n[s]\nk=old\n", Writer::windows,
     text("S", "k"), "new", "new"},
    {"UTF-16 file, ours (refused, the file stays whole)", utf16le("[S]\r\nk=v\r\n"), Writer::ours,
     text("S", "j"), "w", kMissing},
    {"UTF-16 file, Windows", utf16le("[S]\r\nk=v\r\n"), Writer::windows, text("S", "j"), "w",
     kMissing, "w", kWide},
};

std::string read_ours(const Read& read, const std::string& file) {
    if (read.kind == Kind::number) {
        return std::to_string(profile_read_int(read.section, read.key, kMissingNumber, file));
    }
    return profile_read_string(read.section, read.key, kMissing, file);
}

std::string read_windows(const Read& read, const std::string& file) {
    if (read.kind == Kind::number) {
        return std::to_string(static_cast<int>(
            GetPrivateProfileIntA(read.section, read.key, kMissingNumber, file.c_str())));
    }
    char buffer[kProfileValueMax + 1];  // the settings store's 512 characters
    const DWORD size = GetPrivateProfileStringA(read.section, read.key, kMissing, buffer,
                                                sizeof buffer, file.c_str());
    return std::string(buffer, size);
}

void expect_reads(const std::string& file, const Read& read, const char* ours, const char* windows,
                  const char* why) {
    EXPECT_EQ(windows != nullptr, why != nullptr) << "a difference names its reason";
    EXPECT_EQ(read_ours(read, file), ours);
    EXPECT_EQ(read_windows(read, file), windows ? windows : ours) << (why ? why : "must agree");
}

// Each row has a file of its own: Windows keeps the files it read, by name.
class ProfileDifferential : public ::testing::Test {
protected:
    // No bytes: no file.
    std::string file_for(const std::string& bytes) {
        const auto path = dir.file("case" + std::to_string(++files) + ".ini");
        if (!bytes.empty()) {
            test::write_file(path, bytes);
        }
        return path;
    }

    test::TempDir dir;
    int files = 0;
};

TEST_F(ProfileDifferential, ReadsAgreeButForTheIntendedDifferences) {
    for (const Row& row : kReads) {
        SCOPED_TRACE(row.what);
        expect_reads(file_for(row.file), row.read, row.ours, row.windows, row.why);
    }
}

TEST_F(ProfileDifferential, WrittenValuesReadBackAlikeButForTheIntendedDifferences) {
    for (const WriteRow& row : kWrites) {
        SCOPED_TRACE(row.what);
        const auto file = file_for(row.file);
        if (row.writer == Writer::ours) {
            profile_write_string(row.read.section, row.read.key, row.value, file);
        } else {
            WritePrivateProfileStringA(row.read.section, row.read.key, row.value, file.c_str());
        }
        expect_reads(file, row.read, row.ours, row.windows, row.why);
    }
}

}  // namespace
}  // namespace dravo
