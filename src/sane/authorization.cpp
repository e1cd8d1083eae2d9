#include "sane/authorization.h"

#include "platform/digest.h"

namespace tarnwick {

std::optional<std::string> authorizationPassword(const std::string& resource,
                                                 const std::string& password) {
    static constexpr char kMarker[] = "$MD5$";
    std::size_t at = resource.find(kMarker);
    if (at == std::string::npos) return password;
    std::string challenge = resource.substr(at + sizeof kMarker - 1);
    static constexpr char kHex[] = "0123456789abcdef";
    std::optional<std::array<std::uint8_t, 16>> digest = platform::md5(challenge + password);
    if (!digest) return std::nullopt;
    std::string answer = kMarker;
    for (std::uint8_t byte : *digest) {
        answer += kHex[byte >> 4];
        answer += kHex[byte & 15];
    }
    return answer;
}

}  // namespace tarnwick
