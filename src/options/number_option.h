// An integer or fixed-point option: one value or a table of them, with its constraint.
#pragma once

#include <optional>
#include <vector>

#include "options/option.h"

namespace ui {
class ComboBox;
class Control;
class Edit;
}  // namespace ui

namespace tarnwick {

class TCustomTrackBar;

// Bounds that stand for "no range" (callers test for them, as the scan area does).
inline constexpr double kNoLowerBound = -5000000000.0;
inline constexpr double kNoUpperBound = 5000000000.0;

enum NumberConstraint : Word { numberNone = 0, numberRange = 1, numberWordList = 2 };

// Characters a number edit takes: whole numbers, and fixed-point numbers with four decimals.
inline constexpr int kIntegerEditLength = 10;
inline constexpr int kFixedEditLength = 11;
inline constexpr int kFixedEditDecimals = 4;

class NumberOption : public Option {
  public:
    // The value count is fixed by the size: one value per word, all 0 at first.
    NumberOption(Word index, std::string name, std::string title, std::string description,
                 Word unit, Word size, Word capabilities, OptionDevice* device);

    Word valueType() const override { return isFixed ? SANE_TYPE_FIXED : SANE_TYPE_INT; }
    int valueCount() const override { return static_cast<int>(values.size()); }
    // A list for a word list (and, compact, an editable list of common resolutions); for a
    // range a track bar, or the table button when there are several values; a number edit
    // without constraint.
    ui::Container* createControl(ControlOwner& owner, ui::Container& parent, bool compact) override;
    // Reads the values, then shows the first one in the control.
    void refresh() override;
    // Without control, and for the table button: integers as whole numbers, fixed-point values
    // in the shortest form that reads back the same (with a point), the values joined by ",".
    // With a list, an edit or a track bar: the text the control shows.
    std::string valueText() override;
    // The matching text form. A table text that does not hold exactly one number per value is
    // taken as no value: it changes nothing and sends nothing. A word-list text that matches no
    // entry keeps the previous selection and sends nothing.
    void setValueText(const std::string& text) override;
    // With a track bar: the value label at the wider end of the range.
    std::string widestUnitText() const override;

    // Sends what was typed into the edit or the compact list and not yet taken (the focus is
    // still there), then shows the device's value.
    void commitTyped();

    // Handlers of the controls, and what shows the values in them (sends nothing).
    void listChanged();
    void editChanged();
    void trackBarMoved();
    void trackBarReleased();
    void gammaClicked();
    void showInList();
    void showInEdit();
    void showInTrackBar();

    void setFixed() { isFixed = true; }
    // A reload's constraint (kind numberNone, numberRange or numberWordList). The control keeps
    // its kind; its entries or its range follow.
    void replaceConstraint(Word kind, double low, double high, double step,
                           std::vector<double> entries);
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
    // The words the device last answered for the values; empty when not known (before the first
    // answer, after a failed exchange, and after the device said the options may have changed).
    std::vector<Word> deviceWords;
    // The first of them as a value; none when not known.
    std::optional<double> knownValue() const;
    // `values` are not the device's (never read, or the device said they may have changed):
    // an option without a control, or behind the table button, is read when next needed.
    bool stale = true;
    void refreshIfStale();

  private:
    enum class Kind { None, List, CompactList, Edit, TrackBar, TableButton };
    ui::ComboBox* list() const;
    ui::Edit* edit() const;
    TCustomTrackBar* trackBar() const;
    // The track bar counts in hundredths for fixed-point options.
    int toPosition(double value) const;
    void showInUnitLabel(double value);
    std::string unitLabelText(double value) const;
    void takeTypedOnEnterOrExit(ui::Control& box);
    void send();

    Kind kind_ = Kind::None;
    bool typed_ = false;  // the compact list holds text the user typed and nothing took yet
    ControlOwner* owner_ = nullptr;
};

// After a reload of the options: shown options are read again, numbers nobody shows are read
// when next needed, restored ones keep their saved value.
void followReload(Option& option);

}  // namespace tarnwick
