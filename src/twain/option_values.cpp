#include "twain/option_values.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <optional>

#include "base/text.h"
#include "base/whole_number.h"
#include "twain/fix32.h"

namespace tarnwick {

int readInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(base::kSpaces), text.size()));
    const std::optional<std::int32_t> value =
        base::parseWhole<std::int32_t>(text, base::PlusSign::accepted);
    if (!value) throw NotAnInteger();
    return *value;
}

int currentInteger(Option& option) {
    auto* number = dynamic_cast<NumberOption*>(&option);
    if (number) number->refreshIfStale();
    if (number && number->values.size() == 1) {
        const double value = number->values[0];
        if (value != std::trunc(value) || std::fabs(value) > INT32_MAX) throw NotAnInteger();
        return static_cast<int>(value);
    }
    return readInteger(option.valueText());
}

TW_UINT32 truncatedItem(double value) {
    return static_cast<TW_UINT16>(static_cast<TW_INT32>(value));
}

TW_UINT32 fixItem(double value) {
    return fix32Bits(toFix32(value));
}

std::string decimal(TW_INT32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", static_cast<int>(value));
    return text;
}

TW_UINT16 unsupported(DataSource& source) {
    return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
}

TW_UINT16 badValue(DataSource& source) {
    return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
}

TW_UINT16 inactive(DataSource& source) {
    return source.setCondition(TWCC_CAPSEQERROR, TWRC_FAILURE);
}

TW_UINT16 afterWrite(const Option& option, bool replaced) {
    return replaced || (option.info & SANE_INFO_INEXACT) ? TWRC_CHECKSTATUS : TWRC_SUCCESS;
}

TW_UINT16 afterNumberWrite(Option& option, double requested) {
    if (afterWrite(option) == TWRC_CHECKSTATUS) return TWRC_CHECKSTATUS;
    return currentInteger(option) == requested ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
}

void writeValue(Option& option, const std::string& text) {
    option.info = 0;
    option.setValueText(text);
}

NumberOption* numberOption(Option* option) {
    return dynamic_cast<NumberOption*>(option);
}

double lowBound(const NumberOption& option) {
    double low = 0, high = 0;
    option.getBounds(low, high);
    return low;
}

double highBound(const NumberOption& option) {
    double low = 0, high = 0;
    option.getBounds(low, high);
    return high;
}

}  // namespace tarnwick
