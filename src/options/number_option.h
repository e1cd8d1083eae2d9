// An integer or fixed-point option: one value or a table of them, with its constraint.
#pragma once

#include <vector>

#include "options/option.h"

namespace tarnwick {

// Bounds that stand for "no range" (callers test for them, as the scan area does).
inline constexpr double kNoLowerBound = -5000000000.0;
inline constexpr double kNoUpperBound = 5000000000.0;

enum NumberConstraint : Word { numberNone = 0, numberRange = 1, numberWordList = 2 };

class NumberOption : public Option {
  public:
    // The value count is fixed by the size: one value per word, all 0 at first.
    NumberOption(Word index, std::string name, std::string title, std::string description,
                 Word unit, Word size, Word capabilities, OptionDevice* device);

    Word valueType() const override { return isFixed ? SANE_TYPE_FIXED : SANE_TYPE_INT; }
    int valueCount() const override { return static_cast<int>(values.size()); }
    void refresh() override;
    // Integers as whole numbers, fixed-point values in the shortest form that reads back the
    // same; the values of a table joined by ",".
    std::string valueText() override;
    // The text form above; a text that does not hold exactly one number per value changes
    // nothing and sends nothing.
    void setValueText(const std::string& text) override;

    void setFixed() { isFixed = true; }
    void setRange(double low, double high, double step);
    void addWordListEntry(double entry);
    // Smallest and largest allowed value; the no-range sentinels when there is no constraint.
    void getBounds(double& low, double& high) const;

    bool isFixed = false;
    std::vector<double> values;
    Word constraintKind = numberNone;
    std::vector<double> wordList;  // in descriptor order
    double min = kNoLowerBound;
    double max = kNoUpperBound;
    double quant = 0;
};

}  // namespace tarnwick
