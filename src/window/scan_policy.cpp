#include "window/scan_policy.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tarnwick {

bool feederSelected(bool booleanOption, bool inverted, const std::string& value) {
    if (booleanOption) return value == (inverted ? "no" : "yes");
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "automatic document feeder" || lower.find("adf") != std::string::npos;
}

int pagesAnswer(const std::string& answer) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(answer.begin(), answer.end(), blank);
    auto last = std::find_if_not(answer.rbegin(), answer.rend(), blank).base();
    if (first >= last) return 0;
    int value = 0;
    const char* begin = &*first;
    const char* end = begin + (last - first);
    auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end ? value : 0;
}

}  // namespace tarnwick
