#include "platform/digest.h"

#include <windows.h>
// After windows.h, which defines its types.
#include <bcrypt.h>

namespace platform {

std::optional<std::array<std::uint8_t, 16>> md5(std::string_view data) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
        return std::nullopt;
    std::array<std::uint8_t, 16> digest{};
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    if (ok) {
        ok = BCRYPT_SUCCESS(BCryptHashData(hash,
                                           reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                                           static_cast<ULONG>(data.size()), 0)) &&
             BCRYPT_SUCCESS(BCryptFinishHash(hash, digest.data(), 16, 0));
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return std::nullopt;
    return digest;
}

}  // namespace platform
