#include "twain/identity_text.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

std::string cutText(const std::string& text, std::size_t maxChars) {
    return text.substr(0, maxChars);
}

void copyText(TW_STR32& field, const std::string& text, std::size_t maxChars) {
    std::memset(field, 0, sizeof field);
    const std::size_t length = std::min({text.size(), maxChars, sizeof field - 1});
    std::memcpy(field, text.data(), length);
}

std::string fieldText(const TW_STR32& field) {
    const void* end = std::memchr(field, '\0', sizeof field);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : sizeof field;
    return std::string(field, length);
}

}  // namespace tarnwick
