#pragma once
// Internal to the INI layer: whole-file reading, atomic replacement and the text encoding of
// UTF-8 files, done per platform.
#include <optional>
#include <string>
#include <string_view>

namespace dravo::detail {

// The file's bytes; "" when it does not exist; empty optional when it exists but cannot be read.
std::optional<std::string> read_file_bytes(const std::string& file);
// Writes bytes to a new file in the same folder, flushes it to disk and renames it over file, so
// that readers and crashes see either the old or the new content. Keeps an existing file's
// permissions and writes through a symbolic link to its target. False when any step fails.
bool replace_file(const std::string& file, std::string_view bytes);

// Text in the platform's encoding (UTF-8 on POSIX, the ANSI code page on Windows) as UTF-8, and
// back, for files that start with the UTF-8 byte-order mark. On Windows a character the code page
// lacks, or bytes that are not UTF-8, read as '?', as with Windows' own profile functions; on
// POSIX both give the text unchanged.
std::string utf8_from_text(std::string_view text);
std::string text_from_utf8(std::string_view utf8);

}  // namespace dravo::detail
