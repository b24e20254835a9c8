// The INI layer over arbitrary file bytes: loading keeps the bytes (a UTF-8 mark too; a UTF-16 or
// UTF-32 file is not loaded), reads stay within their limit, and a written value reads back (line
// breaks dropped, blanks around it trimmed), also after the document has gone through a file.
// Input: file bytes, then optionally a zero byte and section, key and value separated by zero
// bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "profile_file.h"
#include "text.h"

namespace {

using dravo::ProfileDocument;

const std::string kFallback = "\x01 missing";

const std::string& ini_path() {
    static const std::string path = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dravo-fuzz-XXXXXX").string();
        const char* dir = mkdtemp(pattern.data());
        FUZZ_CHECK(dir != nullptr);
        static const std::string folder = dir;
        std::atexit([] { std::filesystem::remove_all(folder); });
        return folder + "/fuzz.ini";
    }();
    return path;
}

// Plain write, without the flush to disk of the atomic commit, to keep runs fast.
void write_file(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);
}

bool has_wide_mark(std::string_view bytes) {
    using namespace std::string_view_literals;
    return bytes.starts_with("\xFF\xFE"sv) || bytes.starts_with("\xFE\xFF"sv) ||
           bytes.starts_with("\0\0\xFE\xFF"sv);
}

std::vector<std::string> split_at_zero(std::string_view input) {
    std::vector<std::string> parts;
    for (;;) {
        const auto zero = input.find('\0');
        parts.emplace_back(input.substr(0, zero));
        if (zero == std::string_view::npos) {
            return parts;
        }
        input.remove_prefix(zero + 1);
    }
}

std::string trim_blanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ascii_lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// A value read back is the written one, or a cut of it to at most 511 bytes on a character
// boundary (at most 3 bytes short of the limit).
void check_read_back(const std::string& got, const std::string& expected) {
    if (expected.size() <= dravo::kProfileValueMax) {
        FUZZ_CHECK(got == expected);
        return;
    }
    FUZZ_CHECK(got.size() <= dravo::kProfileValueMax && got.size() + 3 >= dravo::kProfileValueMax);
    FUZZ_CHECK(expected.compare(0, got.size(), got) == 0);
}

void check_write(const ProfileDocument& loaded, const std::string& section, const std::string& key,
                 const std::string& value) {
    ProfileDocument changed = loaded;
    const std::string clean_section = dravo::strip_line_breaks(section);
    const std::string clean_key = dravo::strip_line_breaks(key);
    const std::string other_key = ascii_lower(clean_key) == "port" ? "media_root" : "port";
    if (!changed.write_string(section, key, value)) {
        FUZZ_CHECK(changed.text() == loaded.text());
        return;
    }
    const std::string expected = trim_blanks(dravo::strip_line_breaks(value));
    check_read_back(changed.read_string(clean_section, clean_key, kFallback), expected);
    FUZZ_CHECK(changed.read_string(clean_section, other_key, kFallback) ==
               loaded.read_string(clean_section, other_key, kFallback));

    write_file(ini_path(), changed.text());
    const auto reloaded = ProfileDocument::load(ini_path());
    FUZZ_CHECK(reloaded && reloaded->text() == changed.text());
    check_read_back(reloaded->read_string(clean_section, clean_key, kFallback), expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = split_at_zero({reinterpret_cast<const char*>(data), size});
    const std::string& bytes = parts[0];
    const std::string section = parts.size() > 1 ? parts[1] : "Settings";
    const std::string key = parts.size() > 2 ? parts[2] : "port";
    const std::string value = parts.size() > 3 ? parts[3] : "8081";

    write_file(ini_path(), bytes);
    const auto loaded = ProfileDocument::load(ini_path());
    if (has_wide_mark(bytes)) {
        // A UTF-16 or UTF-32 file is not read, and a write leaves it as it is.
        FUZZ_CHECK(!loaded);
        FUZZ_CHECK(dravo::profile_read_string(section, key, kFallback, ini_path()) == kFallback);
        FUZZ_CHECK(!dravo::profile_write_string(section, key, value, ini_path()));
        return 0;
    }
    FUZZ_CHECK(loaded && loaded->text() == bytes);

    // A file may hold any value, the fallback's text too: a key is missing when two different
    // fallbacks both come back.
    const std::string read = loaded->read_string(section, key, kFallback);
    const bool missing = read == kFallback && loaded->read_string(section, key, "") == "";
    FUZZ_CHECK(missing || read.size() <= dravo::kProfileValueMax);
    FUZZ_CHECK(dravo::profile_read_string(section, key, kFallback, ini_path()) == read);
    const int number = loaded->read_int(section, key, -7);
    if (missing || read.empty()) {
        FUZZ_CHECK(number == -7);
    }

    check_write(*loaded, section, key, value);
    // Names made only of letters always read back.
    const bool plain =
        !key.empty() && key.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
    if (plain) {
        FUZZ_CHECK(ProfileDocument(*loaded).write_string("Settings", key, value));
    }
    return 0;
}
