// The tests' way to the controls of a form, as a user finds them: by their names, and the popup
// menus' entries by their captions.
#pragma once

#include <stdexcept>
#include <string>

#include "ui/form.h"
#include "ui/menu.h"

namespace tarnwick::testing {

// The named control of the form; the test fails (by exception) when there is none of that type.
template <class T>
T& control(ui::Form& form, const std::string& name) {
    auto* found = dynamic_cast<T*>(form.find(name));
    if (!found) throw std::logic_error("no control " + name);
    return *found;
}

inline ui::PopupMenu& popupMenu(ui::Form& form, const std::string& name) {
    for (const auto& menu : form.menus())
        if (menu->name() == name) return *menu;
    throw std::logic_error("no menu " + name);
}

inline ui::MenuItem& menuEntry(ui::PopupMenu& menu, const std::string& caption) {
    for (std::size_t i = 0; i < menu.count(); ++i)
        if (menu.item(i).caption() == caption) return menu.item(i);
    throw std::logic_error("no menu entry " + caption);
}

}  // namespace tarnwick::testing
