// SHA-256 through CNG, the system's crypto API: nothing to ship with the DLL.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

#include "sha256.h"
#include "text.h"

namespace dravo {
namespace {

class AlgorithmHandle {
public:
    AlgorithmHandle() {
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            handle_ = nullptr;
        }
    }
    ~AlgorithmHandle() {
        if (handle_) {
            BCryptCloseAlgorithmProvider(handle_, 0);
        }
    }
    AlgorithmHandle(const AlgorithmHandle&) = delete;
    AlgorithmHandle& operator=(const AlgorithmHandle&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// Create, hash in pieces, finish: unlike the one-call hash this works on every Windows since
// Vista, and pieces keep each length within the API's 32 bits.
bool hash_into(BCRYPT_ALG_HANDLE algorithm, std::string_view bytes, unsigned char (&digest)[32]) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
        return false;
    }
    constexpr std::size_t kPiece = 1u << 30;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size(); at += kPiece) {
        const auto length = static_cast<ULONG>(std::min(kPiece, bytes.size() - at));
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at));
        ok = BCRYPT_SUCCESS(BCryptHashData(hash, data, length, 0));
    }
    ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    BCryptDestroyHash(hash);
    return ok;
}

}  // namespace

std::string sha256_hex(std::string_view bytes) {
    AlgorithmHandle algorithm;
    unsigned char digest[32];
    if (!algorithm.get() || !hash_into(algorithm.get(), bytes, digest)) {
        return {};
    }
    std::string text;
    for (unsigned char byte : digest) {
        append_hex(text, byte);
    }
    return text;
}

}  // namespace dravo
