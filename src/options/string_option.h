// A text option, free or chosen from a string list.
#pragma once

#include <vector>

#include "options/option.h"

namespace tarnwick {

class StringOption : public Option {
  public:
    using Option::Option;

    Word valueType() const override { return SANE_TYPE_STRING; }
    int valueCount() const override { return size; }
    // The device's current text.
    std::string valueText() override;
    // Sends the text; with a string list only a text equal to one of its entries.
    void setValueText(const std::string& text) override;

    void addChoice(std::string choice) { choices.push_back(std::move(choice)); }

    std::vector<std::string> choices;  // untranslated, in descriptor order
};

}  // namespace tarnwick
