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

// Grouping separators count only where they group digits in threes before the decimal
// separator: "1,234.5" is a number, "2,2" is none (a typing slip, not twenty-two).
bool groupedInThrees(const std::string& t, const NumberLocale& loc) {
    if (loc.thousands == loc.decimal || t.find(loc.thousands) == std::string::npos) return true;
    std::size_t start = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    std::size_t end = start;
    while (end < t.size() && t[end] != loc.decimal && t[end] != 'e' && t[end] != 'E') ++end;
    if (t.find(loc.thousands, end) != std::string::npos) return false;
    std::size_t group = 0;
    bool first = true;
    for (std::size_t i = start; i <= end; ++i) {
        if (i < end && t[i] != loc.thousands) {
            ++group;
            continue;
        }
        if (first ? group < 1 || group > 3 : group != 3) return false;
        first = false;
        group = 0;
    }
    return true;
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
    if (t.empty() || t.size() > 64 || !groupedInThrees(t, loc)) return std::nullopt;
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
