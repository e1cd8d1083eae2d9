// Reading and writing the option values behind the capabilities, and the answers shared by the
// option-based capabilities.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "options/number_option.h"
#include "twain/data_source.h"

namespace tarnwick {

// A value text that is not a decimal integer; the request then answers TWCC_CAPUNSUPPORTED.
struct NotAnInteger : std::runtime_error {
    NotAnInteger() : std::runtime_error("not an integer") {}
};

// Blanks may lead, as the daemon's texts are read by strtol; nothing may follow.
int readInteger(std::string_view text);
// A number option's own value is the device's; its control may show a neighbouring entry of
// its list.
int currentInteger(Option& option);

// Truncation toward zero into a 16-bit item.
TW_UINT32 truncatedItem(double value);
TW_UINT32 fixItem(double value);
std::string decimal(TW_INT32 value);

TW_UINT16 unsupported(DataSource& source);
TW_UINT16 badValue(DataSource& source);
TW_UINT16 inactive(DataSource& source);

// The answer of a write: the device may have adjusted the value.
TW_UINT16 afterWrite(const Option& option, bool replaced = false);
// A number the device adjusted, or one its list does not hold and so was not taken, is
// reported as well: the application reads back what is in force.
TW_UINT16 afterNumberWrite(Option& option, double requested);
void writeValue(Option& option, const std::string& text);

NumberOption* numberOption(Option* option);
double lowBound(const NumberOption& option);
double highBound(const NumberOption& option);

// Runs one handler; value reading errors become TWCC_CAPUNSUPPORTED.
template <typename Body>
TW_UINT16 guarded(DataSource& source, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return unsupported(source);
    }
}

}  // namespace tarnwick
