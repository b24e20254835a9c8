#include <openssl/evp.h>

#include "sha256.h"
#include "text.h"

namespace dravo {

std::string sha256_hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        return {};
    }
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        append_hex(text, digest[i]);
    }
    return text;
}

}  // namespace dravo
