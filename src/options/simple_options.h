// The options whose value is a single state or none: booleans, buttons and groups.
#pragma once

#include "options/option.h"

namespace ui {
class Button;
class CheckBox;
}  // namespace ui

namespace tarnwick {

// A check box; automatic options have a third, greyed state that stands for "automatic".
class BoolOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_BOOL; }
    ui::Container* createControl(ControlOwner& owner, ui::Container& parent, bool compact) override;
    void refresh() override;
    // "yes" when checked, "no" when unchecked; empty when greyed or without control.
    std::string valueText() override;
    // "1" or "yes" in any letter case sets the option, any other text clears it. With a check
    // box the box changes, and its change sends the state.
    void setValueText(const std::string& text) override;

    // The box's state changed (by the user or by code).
    void checkClicked();
    ui::CheckBox* checkBox() const;
};

// A button is pressed by setting it (SET with a boolean true); it has no value.
class ButtonOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_BUTTON; }
    ui::Container* createControl(ControlOwner& owner, ui::Container& parent, bool compact) override;
    // The button's state follows the capabilities; there is no value to read.
    void refresh() override;
    void press();
    // The push button was clicked.
    void pressed() { press(); }
};

// Starts a group of options (a page of the scanning window); it has no value and no control.
class GroupOption : public Option {
  public:
    using Option::Option;
    Word valueType() const override { return SANE_TYPE_GROUP; }
};

}  // namespace tarnwick
