#pragma once
// A small INI ("profile") file layer with the three operations the settings store needs.
// Reading matches section and key names without regard to ASCII letter case. Writing keeps every
// other byte of the file (other sections, keys, comments, line ends) as it was, and replaces the
// file atomically (temporary file in the same folder, then rename).
// Each call opens the file for one operation and closes it. Calls on the same file from several
// threads must be serialised by the caller.
#include <cstddef>
#include <string>

namespace dravo {

inline constexpr std::size_t kProfileValueMax = 511;  // characters a read gives back at most

// The value of key in section, or fallback when the file, section or key is missing. A value
// longer than kProfileValueMax is cut. An empty value present in the file gives "".
std::string profile_read_string(const std::string& section, const std::string& key,
                                const std::string& fallback, const std::string& file);
// The value read as a decimal integer (optional sign), or fallback when the key is missing.
int profile_read_int(const std::string& section, const std::string& key, int fallback,
                     const std::string& file);
// Creates file and section when missing, replaces an existing key's value in place, otherwise
// appends the key at the end of its section. False when the file cannot be written.
bool profile_write_string(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file);

}  // namespace dravo
