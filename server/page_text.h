#pragma once
// Text between the server's bytes and the page's UTF-8. Names and filters are bytes in the
// server's code page (UTF-8 on Linux, the ANSI code page, Windows-1252, on Windows); JSON and
// the page speak UTF-8. Pure functions, any thread; nothing fails: a byte that cannot be
// carried over becomes '?' (to native) or its Windows-1252 letter (to UTF-8).
#include <string>
#include <string_view>

namespace dravo {

// Native bytes to UTF-8 (platform file: page_text_posix.cpp, page_text_windows.cpp).
std::string page_text_to_utf8(std::string_view native);
// UTF-8 from the page to native bytes (same platform files).
std::string page_text_to_native(std::string_view utf8);

bool is_valid_utf8(std::string_view text);
// Each byte read as Windows-1252.
std::string utf8_from_cp1252(std::string_view bytes);
// Lowers ASCII and the Latin-1 capitals (À to Þ but ×) in UTF-8 text, for searching.
std::string fold_case_utf8(std::string_view utf8);

}  // namespace dravo
