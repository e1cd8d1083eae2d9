// Numbers as the user's locale writes them (the backend says which separators it uses).
#pragma once

#include <optional>
#include <string>

namespace ui {

// Fixed decimals, with digit grouping when asked: 12345.5 → "12,345.5000".
std::string formatFixed(double value, int decimals, bool grouping);
// Up to 15 significant digits, no exponent for ordinary sizes, no trailing zeros: 12.5 → "12.5".
std::string formatGeneral(double value);
// A whole text as a real number (leading and trailing blanks and grouping allowed).
std::optional<double> parseReal(const std::string& text);
// A whole text as a whole number, bounded to the 64-bit range.
std::optional<long long> parseInteger(const std::string& text);

}  // namespace ui
