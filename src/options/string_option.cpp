#include "options/string_option.h"

#include <algorithm>

namespace tarnwick {

std::string StringOption::valueText() {
    if (!device) return {};
    return device->controlString(SANE_ACTION_GET_VALUE, *this, {});
}

void StringOption::setValueText(const std::string& text) {
    if (!choices.empty() && std::find(choices.begin(), choices.end(), text) == choices.end())
        return;
    if (device) device->controlString(SANE_ACTION_SET_VALUE, *this, text);
}

}  // namespace tarnwick
