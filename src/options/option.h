// One SANE option of the open device: its descriptor, capabilities and last info word.
#pragma once

#include <string>
#include <vector>

#include "options/control_owner.h"
#include "options/option_device.h"
#include "sane/wire_types.h"

namespace ui {
class Container;
class Control;
class Label;
class ToolBar;
}  // namespace ui

namespace tarnwick {

// The text shown to the right of an option's control for a SANE unit code.
std::string unitText(Word unit);

class Option {
  public:
    Option(Word index, std::string name, std::string title, std::string description, Word unit,
           Word size, Word capabilities, OptionDevice* device);
    // Destroys the option's row with everything in it (or, for a compact control, the control
    // alone, wherever it sits now). The window therefore destroys its options before the pages
    // and tool bars that hold their controls.
    virtual ~Option();
    Option(const Option&) = delete;
    Option& operator=(const Option&) = delete;

    // The model's share of the operations every user reaches an option through; the controls
    // add their own in between.
    virtual Word valueType() const { return -1; }
    // Words of a number option, bytes of a string option, 1 otherwise.
    virtual int valueCount() const { return 1; }
    // Reads the current value from the device and shows it in the control, whose enabled (or
    // visible) state then follows the capabilities.
    virtual void refresh() {}
    // The value in its text form, as saved per device and read for the application. With a
    // control the text forms are those of the control; without one they go to the device.
    virtual void setValueText(const std::string&) {}
    virtual std::string valueText() { return {}; }
    // Builds the option's row of controls on `parent` (or, compact, only the control inside it),
    // shows the value, and returns the row (compact: `parent`); none for options that get no
    // control.
    virtual ui::Container* createControl(ControlOwner&, ui::Container&, bool) { return nullptr; }
    // Shows the device's texts (title, choices) in the current language again.
    virtual void translateTexts();

    bool isActive() const { return (capabilities & SANE_CAP_INACTIVE) == 0; }
    bool isReadOnly() const {
        return (capabilities & SANE_CAP_SOFT_DETECT) != 0 &&
               (capabilities & (SANE_CAP_SOFT_SELECT | SANE_CAP_HARD_SELECT)) == 0;
    }
    bool isAutomatic() const { return (capabilities & SANE_CAP_AUTOMATIC) != 0; }
    bool isUsable() const { return isActive() && !isReadOnly(); }
    std::string unitText() const { return tarnwick::unitText(unit); }
    // The widest text the unit label may show.
    virtual std::string widestUnitText() const { return unitText(); }

    // The parts of a normal row (none for compact controls and before createControl).
    ui::Container* row() const { return row_; }
    ui::Label* captionLabel() const { return captionLabel_; }
    ui::Label* unitLabel() const { return unitLabel_; }
    // The row or compact control goes; the option stays (the window that showed it closes).
    void destroyControl();

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

  protected:
    // Where the control goes: a new row on `parent`, or `parent` itself when compact.
    ui::Container& beginControl(ui::Container& parent, bool compact);
    // Takes the built control, shows the value and returns the row or the compact container.
    ui::Container* finishControl(ui::Control& built);
    // A control of a normal row that takes the rest of the row.
    void fillRow(ui::Control& c) const;
    // Enabled (or, with hideInactive, shown) exactly when usable; the caption greys with it.
    void updateState();

  private:
    friend void alignColumns(const std::vector<Option*>& rows);
    // The caption column's width; the caption takes one line of 16 pixels for each started
    // `width` pixels of its text, and the row its height.
    void setCaptionWidth(int width);

    ui::Container* holder_ = nullptr;  // the row, or the compact container
    ui::Container* row_ = nullptr;
    ui::Label* captionLabel_ = nullptr;
    ui::Label* unitLabel_ = nullptr;
};

// Lines up the rows of one page: the caption and unit columns take the width of their longest
// texts (captions up to a limit, beyond which they wrap).
void alignColumns(const std::vector<Option*>& rows);

}  // namespace tarnwick
