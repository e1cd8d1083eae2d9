// Trimming, splitting and lower-casing of texts, for every layer.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "platform/trim.h"

namespace base {

// What std::isspace takes for blank in the C locale.
inline constexpr std::string_view kSpaces = " \t\n\v\f\r";

// The text without the characters of `blanks` (" \t" unless given) at either end.
using platform::trim;

// The pieces between the separators: one more than there are separators, empty ones kept.
inline std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

// ASCII letters in lower case, as devices' words are compared.
inline std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace base
