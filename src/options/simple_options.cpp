#include "options/simple_options.h"

#include "base/debug_log.h"
#include "base/text.h"
#include "base/translate.h"
#include "ui/button.h"

namespace tarnwick {

namespace {

bool meansYes(const std::string& text) {
    return text == "1" || base::lowered(text) == "yes";
}

}  // namespace

ui::Container* BoolOption::createControl(ControlOwner&, ui::Container& parent, bool compact) {
    if (index == 0) return nullptr;
    ui::Container& holder = beginControl(parent, compact);
    ui::CheckBox& box = holder.add<ui::CheckBox>();
    box.setAllowGrayed(isAutomatic());
    fillRow(box);
    box.onClick = [this] { checkClicked(); };
    return finishControl(box);
}

ui::CheckBox* BoolOption::checkBox() const {
    return static_cast<ui::CheckBox*>(control);
}

void BoolOption::refresh() {
    debugLog(tr("Updating boolean option: %s\n"), name.c_str());
    if (!device) return;
    const bool value = device->controlBool(SANE_ACTION_GET_VALUE, *this, false);
    ui::CheckBox* box = checkBox();
    if (!box) return;
    updateState();
    // A change of state runs checkClicked, which sends it (SET_AUTO for the greyed state).
    if (isAutomatic())
        box->setState(ui::CheckState::Grayed);
    else
        box->setChecked(value);
}

void BoolOption::checkClicked() {
    ui::CheckBox* box = checkBox();
    if (!box || !device) return;
    if (box->allowGrayed() && box->state() == ui::CheckState::Grayed) {
        device->controlBool(SANE_ACTION_SET_AUTO, *this, false);
        return;
    }
    const bool value = device->controlBool(SANE_ACTION_SET_VALUE, *this, box->checked());
    // The box shows what the device returned, without sending that again.
    ui::Detached<ui::Handler> quiet(box->onClick);
    box->setChecked(value);
}

std::string BoolOption::valueText() {
    ui::CheckBox* box = checkBox();
    if (!box) {
        if (!device || !isActive()) return {};
        return device->controlBool(SANE_ACTION_GET_VALUE, *this, false) ? "yes" : "no";
    }
    if (box->state() == ui::CheckState::Grayed) return {};
    return box->checked() ? "yes" : "no";
}

void BoolOption::setValueText(const std::string& text) {
    if (ui::CheckBox* box = checkBox()) {
        box->setChecked(meansYes(text));
        return;
    }
    if (device) device->controlBool(SANE_ACTION_SET_VALUE, *this, meansYes(text));
}

ui::Container* ButtonOption::createControl(ControlOwner&, ui::Container& parent, bool compact) {
    if (index == 0) return nullptr;
    ui::Container& holder = beginControl(parent, compact);
    ui::Button& button = holder.add<ui::Button>();
    button.setText(title);  // shown as the device sends it
    button.setBounds(button.scaled(150), button.scaled(2),
                     ui::textWidth(button.font(), title) + button.scaled(16), button.scaled(21));
    button.onClick = [this] { pressed(); };
    return finishControl(button);
}

void ButtonOption::refresh() {
    debugLog(tr("Updating button option: %s\n"), name.c_str());
    updateState();
}

void ButtonOption::press() {
    if (device) device->controlBool(SANE_ACTION_SET_VALUE, *this, true);
}

}  // namespace tarnwick
