#include "window/scan_policy.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "base/whole_number.h"

namespace tarnwick {

bool feederSelected(bool booleanOption, bool inverted, const std::string& value) {
    if (booleanOption) return value == (inverted ? "no" : "yes");
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "automatic document feeder" || lower.find("adf") != std::string::npos;
}

int pagesAnswer(const std::string& answer) {
    return base::parseWhole<int>(base::trim(answer, base::kSpaces)).value_or(0);
}

}  // namespace tarnwick
