#include "ui/number_format.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/text.h"
#include "base/whole_number.h"
#include "ui/backend.h"

namespace ui {

namespace {

// Rewrites a C-locale number into the user's separators.
std::string localise(const std::string& c, bool grouping) {
    NumberLocale loc = backend().numberLocale();
    std::size_t start = (!c.empty() && c[0] == '-') ? 1 : 0;
    std::size_t point = c.find('.');
    std::size_t intEnd = point == std::string::npos ? c.size() : point;
    std::string out = c.substr(0, start);
    std::string digits = c.substr(start, intEnd - start);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (grouping && i > 0 && (digits.size() - i) % 3 == 0) out += loc.thousands;
        out += digits[i];
    }
    if (point != std::string::npos) out += loc.decimal + c.substr(point + 1);
    return out;
}

}  // namespace

std::string formatFixed(double value, int decimals, bool grouping) {
    if (!std::isfinite(value)) return "0";
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : (decimals > 15 ? 15 : decimals),
                  value);
    return localise(buf, grouping);
}

std::string formatGeneral(double value) {
    if (!std::isfinite(value)) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    if (s.find('e') != std::string::npos) return s;  // extreme sizes keep their exponent
    return localise(s, false);
}

std::optional<double> parseReal(const std::string& text) {
    NumberLocale loc = backend().numberLocale();
    std::string t(base::trim(text)), c;
    if (t.empty() || t.size() > 64) return std::nullopt;
    for (char ch : t) {
        if (ch == loc.decimal)
            c += '.';
        else if (ch == loc.thousands && loc.thousands != loc.decimal)
            continue;
        else if ((ch >= '0' && ch <= '9') || ch == '-' || ch == '+' || ch == 'e' || ch == 'E')
            c += ch;
        else
            return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(c.c_str(), &end);
    if (end == c.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<long long> parseInteger(const std::string& text) {
    const std::string_view t = base::trim(text);
    if (t.size() > 24) return std::nullopt;
    return base::parseWhole<long long>(t, base::PlusSign::accepted);
}

}  // namespace ui
