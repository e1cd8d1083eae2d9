#include "options/string_option.h"

#include <algorithm>

#include "base/debug_log.h"
#include "base/translate.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "widgets/auto_width_combo_box.h"

namespace tarnwick {

ui::Container* StringOption::createControl(ControlOwner&, ui::Container& parent, bool compact) {
    ui::Container& holder = beginControl(parent, compact);
    if (choices.empty()) {
        ui::Edit& edit = holder.add<ui::Edit>();
        edit.setMaxLength(size);
        fillRow(edit);
        edit.onChange = [this] { editChanged(); };
        return finishControl(edit);
    }
    // Its change handler comes with the first showInList.
    ui::ComboBox& list = holder.add<ui::ComboBox>(ui::ComboStyle::DropDownList);
    list.setWidth(list.scaled(160));
    fillRow(list);
    return finishControl(list);
}

ui::ComboBox* StringOption::list() const {
    return choices.empty() ? nullptr : static_cast<ui::ComboBox*>(control);
}

ui::Edit* StringOption::edit() const {
    return choices.empty() ? static_cast<ui::Edit*>(control) : nullptr;
}

std::string StringOption::deviceText() {
    return device ? device->controlString(SANE_ACTION_GET_VALUE, *this, {}) : std::string();
}

void StringOption::refresh() {
    debugLog(tr("Updating string option: %s\n"), name.c_str());
    if (!control) return;
    updateState();
    if (choices.empty())
        showInEdit();
    else
        showInList();
}

void StringOption::translateTexts() {
    Option::translateTexts();
    // Filled again, in the current language, by showing the value.
    if (ui::ComboBox* box = list()) {
        box->setItems({});
        showInList();
    }
}

void StringOption::showInList() {
    ui::ComboBox* box = list();
    if (!box) return;
    const std::string value = deviceText();
    ui::Detached<ui::Handler> quiet(box->onChange);
    if (box->items().empty()) {
        std::vector<std::string> shown;
        for (const std::string& choice : choices) shown.push_back(trSane(choice));
        box->setItems(std::move(shown));
        // Measured against a narrow list, so that any entry wider than that widens the opened
        // part; the list itself keeps its width.
        const int width = box->width();
        box->setWidth(box->scaled(10));
        Sto_AutoWidthCombobox(*box);
        box->setWidth(width);
    }
    const auto found = std::find(choices.begin(), choices.end(), value);
    box->setItemIndex(found != choices.end() ? static_cast<int>(found - choices.begin()) : 0);
    box->onChange = [this] { listChanged(); };
}

void StringOption::replaceChoices(std::vector<std::string> entries) {
    if (entries == choices || (control && entries.empty() != choices.empty())) return;
    choices = std::move(entries);
    if (ui::ComboBox* box = list()) {
        box->clearItems();
        showInList();
    }
}

void StringOption::listChanged() {
    ui::ComboBox* box = list();
    if (!box || !device) return;
    const int at = box->itemIndex();
    if (at < 0 || at >= static_cast<int>(choices.size())) return;
    ui::Detached<ui::Handler> quiet(box->onChange);
    device->controlString(SANE_ACTION_SET_VALUE, *this, choices[static_cast<std::size_t>(at)]);
}

void StringOption::showInEdit() {
    ui::Edit* box = edit();
    if (!box) return;
    const std::string value = deviceText();
    ui::Detached<ui::Handler> quiet(box->onChange);
    box->setText(value);
    box->setModified(false);
}

void StringOption::editChanged() {
    ui::Edit* box = edit();
    if (!box || !device || !box->modified()) return;
    const std::string returned = device->controlString(SANE_ACTION_SET_VALUE, *this, box->text());
    ui::Detached<ui::Handler> quiet(box->onChange);
    box->setText(returned);
    box->setModified(false);
}

std::string StringOption::valueText() {
    if (ui::Edit* box = edit()) return box->text();
    if (ui::ComboBox* box = list()) {
        for (const std::string& choice : choices)
            if (trSane(choice) == box->text()) return choice;
        return {};
    }
    return deviceText();
}

void StringOption::setValueText(const std::string& text) {
    if (ui::Edit* box = edit()) {
        ui::Detached<ui::Handler> quiet(box->onChange);
        box->setText(text);
        box->setModified(false);
        return;
    }
    const auto found = std::find(choices.begin(), choices.end(), text);
    if (ui::ComboBox* box = list()) {
        if (found != choices.end()) {
            ui::Detached<ui::Handler> quiet(box->onChange);
            box->setItemIndex(static_cast<int>(found - choices.begin()));
        }
        listChanged();
        return;
    }
    if (!choices.empty() && found == choices.end()) return;
    if (device) device->controlString(SANE_ACTION_SET_VALUE, *this, text);
}

}  // namespace tarnwick
