#include "platform/digest.h"

#include <openssl/evp.h>

#include <memory>

namespace platform {

std::optional<std::array<std::uint8_t, 16>> md5(std::string_view data) {
    std::array<std::uint8_t, 16> digest{};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    unsigned int size = 0;
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), data.data(), data.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest.data(), &size) != 1 || size != digest.size())
        return std::nullopt;
    return digest;
}

}  // namespace platform
