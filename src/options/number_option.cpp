#include "options/number_option.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace tarnwick {
namespace {

std::string numberText(double value, bool fixed) {
    char buffer[32];
    if (!fixed) {
        std::snprintf(buffer, sizeof buffer, "%.0f", std::trunc(value));
        return buffer;
    }
    // 15 significant digits: what a double holds of a fixed-point value, without noise digits.
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

bool parseNumber(const std::string& text, double& value) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    auto [stop, error] = std::from_chars(first, last, value);
    return error == std::errc() && stop == last && std::isfinite(value);
}

}  // namespace

NumberOption::NumberOption(Word index, std::string name, std::string title, std::string description,
                           Word unit, Word size, Word capabilities, OptionDevice* device)
    : Option(index, std::move(name), std::move(title), std::move(description), unit, size,
             capabilities, device),
      values(size > 0 ? static_cast<std::size_t>(size) / 4 : 0, 0.0) {}

void NumberOption::refresh() {
    if (device) device->controlNumbers(SANE_ACTION_GET_VALUE, *this);
}

std::string NumberOption::valueText() {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ',';
        text += numberText(values[i], isFixed);
    }
    return text;
}

void NumberOption::setValueText(const std::string& text) {
    if (values.empty()) return;
    std::vector<double> parsed;
    std::stringstream pieces(text);
    std::string piece;
    while (std::getline(pieces, piece, ',')) {
        double value = 0;
        if (!parseNumber(piece, value)) return;
        parsed.push_back(isFixed ? value : std::trunc(value));
    }
    if (parsed.size() != values.size()) return;
    values = std::move(parsed);
    if (device) device->controlNumbers(SANE_ACTION_SET_VALUE, *this);
}

void NumberOption::setRange(double low, double high, double step) {
    min = low;
    max = high;
    quant = step;
    constraintKind = numberRange;
}

void NumberOption::addWordListEntry(double entry) {
    wordList.push_back(entry);
    constraintKind = numberWordList;
}

void NumberOption::getBounds(double& low, double& high) const {
    switch (constraintKind) {
        case numberWordList:
            low = kNoUpperBound;
            high = kNoLowerBound;
            for (double entry : wordList) {
                if (entry < low) low = entry;
                if (entry > high) high = entry;
            }
            break;
        case numberRange:
            low = min;
            high = max;
            break;
        default:
            low = kNoLowerBound;
            high = kNoUpperBound;
    }
}

}  // namespace tarnwick
