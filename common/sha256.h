#pragma once
// SHA-256 of a byte string, on the platform's crypto library (OpenSSL, or CNG on Windows).
// Any thread. A failure of the library gives the empty text, which matches no digest.
#include <string>
#include <string_view>

namespace dravo {

// 64 lower-case hex digits.
std::string sha256_hex(std::string_view bytes);

}  // namespace dravo
