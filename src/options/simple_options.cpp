#include "options/simple_options.h"

#include <algorithm>
#include <cctype>

namespace tarnwick {

void BoolOption::setValueText(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    bool value = text == "1" || lower == "yes";
    if (device) device->controlBool(SANE_ACTION_SET_VALUE, *this, value);
}

void ButtonOption::press() {
    if (device) device->controlBool(SANE_ACTION_SET_VALUE, *this, true);
}

}  // namespace tarnwick
