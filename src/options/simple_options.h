// The options whose value is a single state or none: booleans, buttons and groups.
#pragma once

#include "options/option.h"

namespace tarnwick {

class BoolOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_BOOL; }
    // "1" or "yes" in any letter case sets the option, any other text clears it.
    void setValueText(const std::string& text) override;
};

// A button is pressed by setting it (SET with a boolean true); it has no value.
class ButtonOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_BUTTON; }
    void press();
};

// Starts a group of options (a page of the scanning window); it has no value.
class GroupOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_GROUP; }
};

}  // namespace tarnwick
