#pragma once
// Internal to the INI layer: whole-file reading and atomic replacement, done per platform.
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

}  // namespace dravo::detail
