#pragma once
// The SHA-256 digest of bytes as lower-case hex, as an update site publishes it. The library's
// own digest, checked against published vectors in the update checker's tests.
#include <string>

#include "sha256.h"

namespace dravo::test {

inline std::string sha256_hex(const std::string& bytes) { return dravo::sha256_hex(bytes); }

}  // namespace dravo::test
