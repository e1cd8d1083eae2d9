#include "replay_option.h"

#include <strings.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tarnwick::replay {
namespace {

// Rounded, not truncated as SANE_FIX does: the listing shows the backend's word rounded.
SANE_Word wordOf(SANE_Value_Type type, double value) {
    double scaled = type == SANE_TYPE_FIXED ? value * (1 << SANE_FIXED_SCALE_SHIFT) : value;
    scaled = std::max(-2147483648.0, std::min(scaled, 2147483647.0));
    return static_cast<SANE_Word>(std::llround(scaled));
}

double fromWord(SANE_Value_Type type, SANE_Word word) {
    return type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : static_cast<double>(word);
}

}  // namespace

SANE_Word ReplayOption::toWord(double value) const {
    return replay::wordOf(type, value);
}

double ReplayOption::number() const {
    return value_.empty() ? 0 : fromWord(type, value_.front());
}

void ReplayOption::setNumber(double value) {
    if (!value_.empty()) value_.front() = toWord(value);
}

void ReplayOption::publish() {
    descriptor_.name = name.c_str();
    descriptor_.title = title.c_str();
    descriptor_.desc = description.c_str();
    descriptor_.type = type;
    descriptor_.unit = unit;
    descriptor_.cap = cap;
    value_.clear();
    for (double number : numbers) value_.push_back(toWord(number));
    if (type == SANE_TYPE_STRING)
        descriptor_.size = static_cast<SANE_Int>(count);
    else if (numeric())
        descriptor_.size = static_cast<SANE_Int>(count * sizeof(SANE_Word));
    else
        descriptor_.size = 0;
    switch (constraint) {
        case Constraint::none:
            descriptor_.constraint_type = SANE_CONSTRAINT_NONE;
            break;
        case Constraint::range:
            range_ = {wordOf(type, min), wordOf(type, max), wordOf(type, quant)};
            descriptor_.constraint_type = SANE_CONSTRAINT_RANGE;
            descriptor_.constraint.range = &range_;
            break;
        case Constraint::words:
            wordList_.assign(1, static_cast<SANE_Word>(words.size()));
            for (double word : words) wordList_.push_back(wordOf(type, word));
            descriptor_.constraint_type = SANE_CONSTRAINT_WORD_LIST;
            descriptor_.constraint.word_list = wordList_.data();
            break;
        case Constraint::strings:
            stringList_.clear();
            for (const std::string& entry : strings) stringList_.push_back(entry.c_str());
            stringList_.push_back(nullptr);
            descriptor_.constraint_type = SANE_CONSTRAINT_STRING_LIST;
            descriptor_.constraint.string_list = stringList_.data();
            break;
    }
}

void ReplayOption::read(void* value) const {
    if (type == SANE_TYPE_STRING) {
        std::memset(value, 0, count);
        std::memcpy(value, text.data(), std::min(text.size(), count - 1));
        return;
    }
    std::memcpy(value, value_.data(), value_.size() * sizeof(SANE_Word));
}

SANE_Word ReplayOption::fit(SANE_Word word) const {
    if (constraint == Constraint::range) {
        const SANE_Range& r = range_;
        // Inactive options may carry inverted ranges; their minimum then wins.
        std::int64_t v = std::max<std::int64_t>(r.min, std::min<std::int64_t>(word, r.max));
        if (r.quant > 0)
            v = std::min<std::int64_t>(r.max,
                                       (v - r.min + r.quant / 2) / r.quant * r.quant + r.min);
        return static_cast<SANE_Word>(std::max<std::int64_t>(v, r.min));
    }
    if (constraint == Constraint::words && wordList_.size() > 1) {
        auto distance = [word](SANE_Word w) {
            return std::llabs(static_cast<long long>(w) - word);
        };
        return *std::min_element(
            wordList_.begin() + 1, wordList_.end(),
            [&](SANE_Word a, SANE_Word b) { return distance(a) < distance(b); });
    }
    return word;
}

bool ReplayOption::write(const void* value, SANE_Int* info) {
    SANE_Int changes = SANE_INFO_RELOAD_PARAMS;
    if (type == SANE_TYPE_STRING) {
        const char* given = static_cast<const char*>(value);
        std::string taken(given, strnlen(given, count));
        if (constraint == Constraint::strings) {
            // SANE lets a backend match case-insensitively and report the exact entry.
            auto entry = std::find_if(strings.begin(), strings.end(), [&](const std::string& s) {
                return strcasecmp(s.c_str(), taken.c_str()) == 0;
            });
            if (entry == strings.end()) return false;
            if (*entry != taken) changes |= SANE_INFO_INEXACT;
            taken = *entry;
        }
        text = taken;
    } else if (numeric()) {
        const auto* given = static_cast<const SANE_Word*>(value);
        for (std::size_t i = 0; i < value_.size(); ++i)
            if (type == SANE_TYPE_BOOL && given[i] != SANE_FALSE && given[i] != SANE_TRUE)
                return false;
        for (std::size_t i = 0; i < value_.size(); ++i) {
            value_[i] = fit(given[i]);
            if (value_[i] != given[i]) changes |= SANE_INFO_INEXACT;
        }
    }
    if (info != nullptr) *info |= changes;
    return true;
}

}  // namespace tarnwick::replay
