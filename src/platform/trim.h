// Blanks off both ends of a text. It sits in the lowest layer so that the profile backends can
// use it; base/text.h hands it on to every layer above.
#pragma once

#include <string_view>

namespace platform {

// The text without the characters of `blanks` at either end.
inline std::string_view trim(std::string_view text, std::string_view blanks = " \t") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace platform
