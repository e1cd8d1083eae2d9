#include "ui/edit.h"

#include "ui/backend.h"
#include "ui/number_format.h"

namespace ui {

std::optional<long long> Edit::integerValue() const {
    return parseInteger(text());
}
std::optional<double> Edit::realValue() const {
    return parseReal(text());
}

bool Edit::accepts(char c) const {
    switch (input_) {
        case EditInput::Text:
            return true;
        case EditInput::Digits:
            return c >= '0' && c <= '9';
        case EditInput::Integer:
            return (c >= '0' && c <= '9') || (c == '-' && text().empty());
        case EditInput::Real: {
            NumberLocale loc = backend().numberLocale();
            return (c >= '0' && c <= '9') || (c == '-' && text().empty()) || c == loc.decimal ||
                   c == loc.thousands;
        }
    }
    return false;
}

bool Edit::userTypeChar(char c) {
    if (readOnly_ || !usable() || !accepts(c)) return false;
    if (maxLength_ > 0 && text().size() >= static_cast<std::size_t>(maxLength_)) return false;
    modified_ = true;
    setText(text() + c);
    return true;
}

void Edit::userBackspace() {
    if (readOnly_ || !usable() || text().empty()) return;
    std::string t = text();
    // Whole UTF-8 sequences go at once.
    std::size_t cut = t.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(t[cut]) & 0xC0) == 0x80) --cut;
    modified_ = true;
    setText(t.substr(0, cut));
}

void Edit::userClear() {
    if (readOnly_ || !usable() || text().empty()) return;
    modified_ = true;
    setText("");
}

bool Edit::userReplaceText(const std::string& t) {
    if (readOnly_ || !usable()) return false;
    if (t == text()) return true;
    if (input_ != EditInput::Text) {
        if (maxLength_ > 0 && t.size() > static_cast<std::size_t>(maxLength_)) return false;
        for (std::size_t i = 0; i < t.size(); ++i) {
            char c = t[i];
            bool digit = c >= '0' && c <= '9';
            bool sign = c == '-' && i == 0 && input_ != EditInput::Digits;
            NumberLocale loc = backend().numberLocale();
            bool separator = input_ == EditInput::Real && (c == loc.decimal || c == loc.thousands);
            if (!digit && !sign && !separator) return false;
        }
    } else if (maxLength_ > 0) {
        std::size_t points = 0;
        for (unsigned char c : t)
            if ((c & 0xC0) != 0x80) ++points;
        if (points > static_cast<std::size_t>(maxLength_)) return false;
    }
    modified_ = true;
    setText(t);
    return true;
}

void Edit::textChanged() {
    if (onChange) onChange();
}

}  // namespace ui
