// One SANE option of the open device: its descriptor, capabilities and last info word.
#pragma once

#include <string>

#include "options/control_owner.h"
#include "options/option_device.h"
#include "sane/wire_types.h"

namespace ui {
class Container;
class Control;
class ToolBar;
}  // namespace ui

namespace tarnwick {

// The text shown to the right of an option's control for a SANE unit code.
std::string unitText(Word unit);

class Option {
  public:
    Option(Word index, std::string name, std::string title, std::string description, Word unit,
           Word size, Word capabilities, OptionDevice* device);
    virtual ~Option() = default;
    Option(const Option&) = delete;
    Option& operator=(const Option&) = delete;

    // The model's share of the operations every user reaches an option through; the controls
    // add their own in between.
    virtual Word valueType() const { return -1; }
    // Words of a number option, bytes of a string option, 1 otherwise.
    virtual int valueCount() const { return 1; }
    // Reads the current value from the device.
    virtual void refresh() {}
    // The value in its text form, as saved per device and read for the application.
    virtual void setValueText(const std::string&) {}
    virtual std::string valueText() { return {}; }
    // Builds the option's row of controls on `parent` (or, compact, only the control inside it)
    // and returns the row; none for options that get no control.
    virtual ui::Container* createControl(ControlOwner&, ui::Container&, bool) { return nullptr; }

    bool isActive() const { return (capabilities & SANE_CAP_INACTIVE) == 0; }
    bool isReadOnly() const {
        return (capabilities & SANE_CAP_SOFT_DETECT) != 0 &&
               (capabilities & (SANE_CAP_SOFT_SELECT | SANE_CAP_HARD_SELECT)) == 0;
    }
    bool isAutomatic() const { return (capabilities & SANE_CAP_AUTOMATIC) != 0; }
    bool isUsable() const { return isActive() && !isReadOnly(); }
    std::string unitText() const { return tarnwick::unitText(unit); }

    Word capabilities;  // replaced by each reload of the options
    const Word index;   // the option number sent with every control request
    OptionDevice* const device;
    const Word size;
    const Word unit;
    const std::string name, title, description;  // as received, untranslated
    ui::Control* control = nullptr;              // shows the value; owned by its row or container
    bool compact = false;                        // built for a tool bar
    ui::Container* homeParent = nullptr;  // where the control sat before it moved to `toolbar`
    ui::ToolBar* toolbar = nullptr;       // the option's own tool bar, when the user chose one
    bool restored = false;                // a saved value was applied; a reload does not refresh it
    bool hideInactive = false;            // hide instead of disable when not usable
    Word info = 0;                        // info word of the last successful control reply
};

}  // namespace tarnwick
