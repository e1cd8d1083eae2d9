#include "option_line.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace tarnwick::replay {
namespace {

constexpr std::size_t kMaxEntries = 1000;
constexpr std::size_t kMaxName = 128;

std::string trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Number {
    double value = 0;
    SANE_Unit unit = SANE_UNIT_NONE;
    bool decimal = false;
};

// A number as scanimage prints it, possibly with its unit ("8bit", "600dpi", "215.9mm", "50%").
std::optional<Number> readNumber(const std::string& raw) {
    std::string text = trim(raw);
    std::size_t digits = (text.size() > 0 && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (digits >= text.size() ||
        !(std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.'))
        return std::nullopt;
    char* end = nullptr;
    Number number;
    number.value = std::strtod(text.c_str(), &end);
    std::string numberText = text.substr(0, static_cast<std::size_t>(end - text.c_str()));
    std::string unit(end);
    if (!std::isfinite(number.value)) return std::nullopt;
    number.decimal = numberText.find('.') != std::string::npos;
    if (unit == "mm")
        number.unit = SANE_UNIT_MM;
    else if (unit == "dpi")
        number.unit = SANE_UNIT_DPI;
    else if (unit == "%")
        number.unit = SANE_UNIT_PERCENT;
    else if (unit == "us")
        number.unit = SANE_UNIT_MICROSECOND;
    else if (unit == "pel")
        number.unit = SANE_UNIT_PIXEL;
    else if (unit == "bit")
        number.unit = SANE_UNIT_BIT;
    else if (!unit.empty())
        return std::nullopt;
    return number;
}

std::vector<std::string> splitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = text.find('|', start);
        parts.push_back(trim(text.substr(start, bar - start)));
        if (bar == std::string::npos || parts.size() > kMaxEntries) return parts;
        start = bar + 1;
    }
}

// The trailing bracket groups: states and, leftmost, the value.
struct Tail {
    std::string constraint;
    std::optional<std::string> value;
    bool inactive = false, readOnly = false, hardware = false, advanced = false;
};

Tail splitTail(std::string rest) {
    Tail tail;
    for (;;) {
        rest = trim(rest);
        if (rest.empty() || rest.back() != ']') break;
        int depth = 0;
        std::size_t open = std::string::npos;
        for (std::size_t i = rest.size(); i-- > 0;) {
            if (rest[i] == ']') ++depth;
            if (rest[i] == '[' && --depth == 0) {
                open = i;
                break;
            }
        }
        // A group stands apart; "24bit Color[Fast]" is a list entry.
        if (open == std::string::npos || (open > 0 && rest[open - 1] != ' ')) break;
        std::string content = rest.substr(open + 1, rest.size() - open - 2);
        rest.resize(open);
        if (content == "inactive")
            tail.inactive = true;
        else if (content == "read-only")
            tail.readOnly = true;
        else if (content == "hardware")
            tail.hardware = true;
        else if (content == "advanced")
            tail.advanced = true;
        else {
            tail.value = content;
            break;
        }
    }
    tail.constraint = trim(rest);
    return tail;
}

std::string readBoolean(std::string& rest, ReplayOption& option) {
    std::size_t close = rest.find(")]");
    if (close == std::string::npos) return "a boolean without its closing \")]\"";
    std::string choices = rest.substr(3, close - 3);
    if (choices == "auto|yes|no")
        option.cap |= SANE_CAP_AUTOMATIC;
    else if (choices != "yes|no")
        return "a boolean of \"" + choices + "\"";
    option.type = SANE_TYPE_BOOL;
    rest = rest.substr(close + 2);
    return {};
}

void noteUnit(ReplayOption& option, const Number& number, bool& decimal) {
    if (number.unit != SANE_UNIT_NONE) option.unit = number.unit;
    decimal = decimal || number.decimal;
}

// The constraint, without "auto|", steps and ",...": a range, a list, or a bare type.
std::string readConstraint(std::string text, ReplayOption& option, bool& decimal) {
    std::size_t steps = text.rfind(" (in steps of ");
    if (endsWith(text, ")") && steps != std::string::npos) {
        ++steps;
        auto quant = readNumber(text.substr(steps + 13, text.size() - steps - 14));
        if (!quant) return "a step that is not a number in \"" + text + "\"";
        option.quant = quant->value;
        decimal = decimal || quant->decimal;
        text = trim(text.substr(0, steps));
    }
    if (endsWith(text, ",...")) {
        text.resize(text.size() - 4);
        option.count = 0;  // an array: its size follows from the range below
    }
    if (text == "<int>" || text == "<float>" || text == "<string>") {
        option.type = text == "<int>"     ? SANE_TYPE_INT
                      : text == "<float>" ? SANE_TYPE_FIXED
                                          : SANE_TYPE_STRING;
        decimal = decimal || text == "<float>";
        return {};
    }
    std::size_t dots = text.find("..");
    if (dots != std::string::npos && text.find('|') == std::string::npos) {
        auto low = readNumber(text.substr(0, dots));
        auto high = readNumber(text.substr(dots + 2));
        if (!low || !high) return "a range that is not numbers: \"" + text + "\"";
        option.constraint = Constraint::range;
        option.min = low->value;
        option.max = high->value;
        noteUnit(option, *low, decimal);
        noteUnit(option, *high, decimal);
        return {};
    }
    std::vector<std::string> entries = splitBars(text);
    if (entries.size() > kMaxEntries) return "a list of more than 1000 entries";
    std::vector<Number> numbers;
    for (const std::string& entry : entries)
        if (auto number = readNumber(entry)) numbers.push_back(*number);
    if (numbers.size() == entries.size()) {
        option.constraint = Constraint::words;
        for (const Number& number : numbers) {
            option.words.push_back(number.value);
            noteUnit(option, number, decimal);
        }
        return {};
    }
    option.type = SANE_TYPE_STRING;
    option.constraint = Constraint::strings;
    for (const std::string& entry : entries)
        if (entry.empty()) return "an empty entry in \"" + text + "\"";
    option.strings = entries;
    return {};
}

// The value a listing does not show (an inactive option's): what a backend would start with.
double startValue(const ReplayOption& option) {
    if (option.constraint == Constraint::words && !option.words.empty())
        return option.words.front();
    if (option.constraint == Constraint::range) {
        if (option.name == "br-x" || option.name == "br-y") return option.max;
        return std::max(option.min, std::min(0.0, option.max));
    }
    return 0;
}

std::string readValue(const std::optional<std::string>& value, ReplayOption& option) {
    bool shown = value && !value->empty() && *value != "auto";
    if (option.type == SANE_TYPE_STRING) {
        option.text = shown ? *value : option.strings.empty() ? "" : option.strings.front();
        std::size_t longest = option.text.size();
        for (const std::string& entry : option.strings) longest = std::max(longest, entry.size());
        // An unconstrained string gets room for a path or a line of device text.
        option.count = option.constraint == Constraint::none
                           ? std::max<std::size_t>(longest, 255) + 1
                           : longest + 1;
        return {};
    }
    if (option.type == SANE_TYPE_BOOL) {
        if (shown && *value != "yes" && *value != "no") return "a boolean value \"" + *value + "\"";
        option.numbers.assign(1, shown && *value == "yes" ? 1 : 0);
        return {};
    }
    if (option.count == 0) {
        // A gamma table of 8-bit or wider input, else a 3x3 colour matrix; the listing shows
        // neither size nor values, so the table starts as the identity ramp.
        option.count = option.max >= 255 ? 256 : 9;
        for (std::size_t i = 0; i < option.count; ++i)
            option.numbers.push_back(
                std::round(option.min + (option.max - option.min) * static_cast<double>(i) /
                                            static_cast<double>(option.count - 1)));
        return {};
    }
    double start = startValue(option);
    if (shown) {
        // A default outside its own constraint is kept: real backends send such.
        auto number = readNumber(*value);
        if (!number) return "a value that is not a number: \"" + *value + "\"";
        start = number->value;
        if (number->decimal && option.type == SANE_TYPE_INT) option.type = SANE_TYPE_FIXED;
    }
    option.numbers.assign(1, start);
    return {};
}

std::string longName(const std::string& flag) {
    if (flag == "-l") return "tl-x";
    if (flag == "-t") return "tl-y";
    if (flag == "-x") return "br-x";
    if (flag == "-y") return "br-y";
    return startsWith(flag, "--") ? flag.substr(2) : std::string();
}

}  // namespace

bool valueOpen(const std::string& text) {
    int depth = 0;
    for (char c : text) depth += c == '[' ? 1 : c == ']' ? -1 : 0;
    return depth > 0;
}

std::string readOptionLine(const std::string& text, ReplayOption& option) {
    std::size_t end = text.find_first_of(" [");
    option.name = longName(text.substr(0, end));
    if (option.name.empty() || option.name.size() > kMaxName)
        return "an option name of a form not known: \"" + text.substr(0, end) + "\"";
    std::string rest = end == std::string::npos ? std::string() : text.substr(end);
    if (startsWith(rest, "[=(")) {
        if (std::string error = readBoolean(rest, option); !error.empty()) return error;
    }
    Tail tail = splitTail(rest);
    if (tail.inactive) option.cap |= SANE_CAP_INACTIVE;
    if (tail.advanced) option.cap |= SANE_CAP_ADVANCED;
    if (tail.readOnly) option.cap &= ~SANE_CAP_SOFT_SELECT;
    if (tail.hardware) option.cap = (option.cap & ~SANE_CAP_SOFT_SELECT) | SANE_CAP_HARD_SELECT;
    std::string constraint = tail.constraint;
    if (startsWith(constraint, "auto|")) {
        option.cap |= SANE_CAP_AUTOMATIC;
        constraint = trim(constraint.substr(5));
        if (startsWith(constraint, "|")) constraint = trim(constraint.substr(1));
    }
    bool decimal = false;
    if (option.type != SANE_TYPE_BOOL) {
        if (constraint.empty()) {
            if (tail.value && !tail.value->empty())
                return "a value without a constraint: \"" + text + "\"";
            option.type = SANE_TYPE_BUTTON;
            option.count = 0;
            return {};
        }
        if (std::string error = readConstraint(constraint, option, decimal); !error.empty())
            return error;
    }
    if (option.type == SANE_TYPE_INT && (decimal || option.unit == SANE_UNIT_MM))
        option.type = SANE_TYPE_FIXED;
    if (option.count == 0 && option.constraint != Constraint::range)
        return "an array without a range: \"" + text + "\"";
    return readValue(tail.value, option);
}

}  // namespace tarnwick::replay
