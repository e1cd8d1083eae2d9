// A text option, free or chosen from a string list.
#pragma once

#include <vector>

#include "options/option.h"

namespace ui {
class ComboBox;
class Edit;
}  // namespace ui

namespace tarnwick {

class StringOption : public Option {
  public:
    using Option::Option;

    Word valueType() const override { return SANE_TYPE_STRING; }
    int valueCount() const override { return size; }
    // An edit for free text, a drop-down list of the translated entries for a string list.
    ui::Container* createControl(ControlOwner& owner, ui::Container& parent, bool compact) override;
    void refresh() override;
    // With an edit: its text. With a list: the untranslated entry shown (empty when none is).
    // Without control: the device's current text.
    std::string valueText() override;
    // With an edit: shown, not sent. With a list: the equal entry is selected (otherwise the
    // selection stays) and the selection is sent. Without control: sent when it is free text or
    // one of the entries.
    void setValueText(const std::string& text) override;

    // Handlers of the list and the edit, and what shows the device's value in them.
    void listChanged();
    void editChanged();
    void showInList();
    void showInEdit();

    void addChoice(std::string choice) { choices.push_back(std::move(choice)); }
    // A reload's entries; a list shows them at once. A list does not become an edit, nor an edit
    // a list: such a change is left out.
    void replaceChoices(std::vector<std::string> entries);

    std::vector<std::string> choices;  // untranslated, in descriptor order

  private:
    ui::ComboBox* list() const;
    ui::Edit* edit() const;
    std::string deviceText();
};

}  // namespace tarnwick
