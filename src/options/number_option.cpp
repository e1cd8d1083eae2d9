#include "options/number_option.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "base/debug_log.h"
#include "base/text.h"
#include "base/translate.h"
#include "gamma/gamma_form.h"
#include "options/gamma_button_picture.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/number_format.h"
#include "widgets/custom_track_bar.h"

namespace tarnwick {
namespace {

std::string numberText(double value, bool fixed) {
    char buffer[32];
    if (!fixed) {
        std::snprintf(buffer, sizeof buffer, "%.0f", std::trunc(value));
        return buffer;
    }
    // The shortest text that reads back to the same value, always with a point: "," separates
    // the values of a table.
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

bool parseNumber(const std::string& text, double& value) {
    const std::string_view number = base::trim(text);
    const char* last = number.data() + number.size();
    auto [stop, error] = std::from_chars(number.data(), last, value);
    return !number.empty() && error == std::errc() && stop == last && std::isfinite(value);
}

// The "0.#" pattern in the user's locale: at most one decimal, none when it is zero.
std::string shortNumber(double value) {
    std::string text = ui::formatFixed(value, 1, false);
    if (text.size() >= 2 && text.back() == '0' &&
        !std::isdigit(static_cast<unsigned char>(text[text.size() - 2])))
        text.resize(text.size() - 2);
    if (text == "-0") text = "0";
    return text;
}

int truncatedInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)));
}

}  // namespace

NumberOption::NumberOption(Word index, std::string name, std::string title, std::string description,
                           Word unit, Word size, Word capabilities, OptionDevice* device)
    : Option(index, std::move(name), std::move(title), std::move(description), unit, size,
             capabilities, device),
      values(size > 0 ? static_cast<std::size_t>(size) / 4 : 0, 0.0) {}

ui::Container* NumberOption::createControl(ControlOwner& owner, ui::Container& parent,
                                           bool compact) {
    // Option 0 is the option count; an option without values has nothing to show.
    if (index == 0 || values.empty()) return nullptr;
    owner_ = &owner;
    ui::Container& holder = beginControl(parent, compact);
    if (constraintKind == numberWordList || compact) {
        // Their change handler comes with showInList.
        const bool listed = constraintKind == numberWordList;
        ui::ComboBox& box = holder.add<ui::ComboBox>(listed ? ui::ComboStyle::DropDownList
                                                            : ui::ComboStyle::DropDown);
        fillRow(box);
        kind_ = listed ? Kind::List : Kind::CompactList;
        if (!listed) {
            box.setItems({"75", "150", "200", "300", "600"});
            // A pick is sent at once; typed text when it is complete.
            box.onSelect = [this] { listChanged(); };
            box.onChange = [this] { typed_ = true; };
            takeTypedOnEnterOrExit(box);
        }
        return finishControl(box);
    }
    if (constraintKind == numberRange && valueCount() > 1) {
        ui::Button& button = holder.add<ui::Button>();
        button.setFlat(true);
        button.setGlyph(gammaButtonPicture(button.scaled(kGammaButtonSide)),
                        ui::rgb(255, 255, 255));
        button.setBounds(button.scaled(155), button.scaled(1), button.scaled(24),
                         button.scaled(22));
        button.onClick = [this] { gammaClicked(); };
        kind_ = Kind::TableButton;
        return finishControl(button);
    }
    if (constraintKind == numberRange) {
        TCustomTrackBar& bar = holder.add<TCustomTrackBar>();
        bar.setBounds(0, 0, bar.scaled(100), bar.scaled(20));
        bar.setTickStyle(ui::TickStyle::None);
        bar.setRange(toPosition(min), toPosition(max));
        fillRow(bar);
        bar.onChange = [this] { trackBarMoved(); };
        bar.onMouseUp = [this](const ui::MouseEvent&) { trackBarReleased(); };
        bar.onMoveEnded = [this] { trackBarReleased(); };
        kind_ = Kind::TrackBar;
        return finishControl(bar);
    }
    ui::Edit& box = holder.add<ui::Edit>();
    box.setInput(isFixed ? ui::EditInput::Real : ui::EditInput::Integer);
    box.setMaxLength(isFixed ? kFixedEditLength : kIntegerEditLength);
    fillRow(box);
    takeTypedOnEnterOrExit(box);
    kind_ = Kind::Edit;
    return finishControl(box);
}

ui::ComboBox* NumberOption::list() const {
    return kind_ == Kind::List || kind_ == Kind::CompactList ? static_cast<ui::ComboBox*>(control)
                                                             : nullptr;
}

ui::Edit* NumberOption::edit() const {
    return kind_ == Kind::Edit ? static_cast<ui::Edit*>(control) : nullptr;
}

TCustomTrackBar* NumberOption::trackBar() const {
    return kind_ == Kind::TrackBar ? static_cast<TCustomTrackBar*>(control) : nullptr;
}

int NumberOption::toPosition(double value) const {
    if (!isFixed) return truncatedInt(value);
    // A fixed-point word holds a hundredth only to within one step of 1/65536 (12.7 comes back
    // as 12.699997); the position is the hundredth such a value stands for, so that a value
    // sent from the track bar shows (and saves) as the same position instead of creeping.
    constexpr double step = 100.0 / 65536.0;
    return truncatedInt(value * 100 + (value < 0 ? -step : step));
}

void followReload(Option& option) {
    if (option.restored) return;
    if (option.control)
        option.refresh();
    else if (auto* number = dynamic_cast<NumberOption*>(&option))
        number->stale = true;
}

std::optional<double> NumberOption::knownValue() const {
    if (deviceWords.empty()) return std::nullopt;
    return isFixed ? fromFixedWord(deviceWords.front()) : deviceWords.front();
}

void NumberOption::send() {
    if (device) device->controlNumbers(SANE_ACTION_SET_VALUE, *this);
}

void NumberOption::refreshIfStale() {
    if (stale && device) device->controlNumbers(SANE_ACTION_GET_VALUE, *this);
}

void NumberOption::refresh() {
    debugLog(tr("Updating number option: %s\n"), name.c_str());
    // A table (a gamma curve, often kilobytes) shows no value: it is read when the editor opens.
    if (kind_ == Kind::TableButton) {
        stale = true;
        updateState();
        return;
    }
    if (device) device->controlNumbers(SANE_ACTION_GET_VALUE, *this);
    if (!control) return;
    updateState();
    switch (kind_) {
        case Kind::List:
        case Kind::CompactList:
            showInList();
            break;
        case Kind::Edit:
            showInEdit();
            break;
        case Kind::TrackBar:
            showInTrackBar();
            break;
        case Kind::TableButton:
        case Kind::None:
            break;
    }
}

void NumberOption::takeTypedOnEnterOrExit(ui::Control& box) {
    // Taken on every keystroke, a partly typed "12.5" would be sent as 1 and shown as "1.0000".
    box.onExit = [this] { commitTyped(); };
    box.onKeyDown = [this](ui::KeyEvent& e) {
        if (e.key != ui::key::Enter) return;
        e.key = 0;  // taken here, not by a default button
        commitTyped();
    };
}

void NumberOption::commitTyped() {
    if (kind_ == Kind::Edit) editChanged();
    if (kind_ == Kind::CompactList && typed_) listChanged();
}

void NumberOption::showInList() {
    ui::ComboBox* box = list();
    if (!box || values.empty()) return;
    if (kind_ == Kind::CompactList) {
        // The device's value, also one the common entries lack.
        box->setComboText(shortNumber(values.front()));
        typed_ = false;
        return;
    }
    {
        ui::Detached<ui::Handler> quiet(box->onChange);
        if (box->items().empty()) {
            std::vector<std::string> entries;
            for (double entry : wordList) entries.push_back(shortNumber(entry));
            box->setItems(std::move(entries));
        }
        const auto found = std::find(wordList.begin(), wordList.end(), values.front());
        box->setItemIndex(found != wordList.end() ? static_cast<int>(found - wordList.begin())
                                                  : -1);
        if (box->itemIndex() < 0) box->setItemIndex(0);
    }
    box->onChange = [this] { listChanged(); };
}

void NumberOption::listChanged() {
    ui::ComboBox* box = list();
    if (!box || values.empty()) return;
    if (kind_ == Kind::CompactList) {
        if (std::optional<double> typed = ui::parseReal(box->text()))
            values.front() = *typed;
        else if (constraintKind == numberRange)
            values.front() = min;
        send();
        showInList();
        return;
    }
    const int at = box->itemIndex();
    if (at < 0 || at >= static_cast<int>(wordList.size())) return;
    ui::Detached<ui::Handler> quiet(box->onChange);
    values.front() = wordList[static_cast<std::size_t>(at)];
    send();
}

void NumberOption::showInEdit() {
    ui::Edit* box = edit();
    if (!box || values.empty()) return;
    ui::Detached<ui::Handler> quiet(box->onChange);
    box->setText(isFixed ? ui::formatFixed(values.front(), kFixedEditDecimals, true)
                         : numberText(values.front(), false));
    // Only what the user types from now on is sent.
    box->setModified(false);
}

void NumberOption::editChanged() {
    ui::Edit* box = edit();
    if (!box || !box->modified() || values.empty()) return;
    std::optional<double> typed;
    if (isFixed)
        typed = box->realValue();
    else if (std::optional<long long> whole = box->integerValue())
        typed = static_cast<double>(*whole);
    if (!typed) return;
    values.front() = *typed;
    send();
    showInEdit();
}

std::string NumberOption::unitLabelText(double value) const {
    // The whole-number part only: " 300 dpi". Built in steps: MinGW's g++ 12 warns falsely
    // (-Wrestrict) on the chained concatenation.
    std::string text = " ";
    text += std::to_string(truncatedInt(value));
    if (unit != SANE_UNIT_NONE) {
        text += ' ';
        text += unitText();
    }
    return text;
}

std::string NumberOption::widestUnitText() const {
    if (!trackBar()) return Option::widestUnitText();
    double low = 0, high = 0;
    getBounds(low, high);
    std::string lowText = unitLabelText(low), highText = unitLabelText(high);
    return lowText.size() > highText.size() ? lowText : highText;
}

void NumberOption::showInUnitLabel(double value) {
    if (compact || !unitLabel()) return;
    unitLabel()->setText(unitLabelText(value));
}

void NumberOption::showInTrackBar() {
    TCustomTrackBar* bar = trackBar();
    if (!bar || values.empty()) return;
    {
        ui::Detached<ui::Handler> quiet(bar->onChange);
        bar->setPosition(toPosition(values.front()));
    }
    showInUnitLabel(values.front());
}

void NumberOption::trackBarMoved() {
    if (TCustomTrackBar* bar = trackBar())
        showInUnitLabel(isFixed ? bar->position() / 100.0 : bar->position());
}

void NumberOption::trackBarReleased() {
    TCustomTrackBar* bar = trackBar();
    if (!bar || values.empty()) return;
    ui::Detached<ui::MouseHandler> quiet(bar->onMouseUp);
    values.front() = isFixed ? bar->position() / 100.0 : bar->position();
    send();
    showInTrackBar();
}

void NumberOption::gammaClicked() {
    if (!owner_) return;
    refreshIfStale();
    TGammaForm& editor = owner_->gammaEditor();
    const int count = valueCount();
    editor.setCaption(title);
    editor.configure(count, min, max);
    if (count <= 256) editor.load(values);
    if (editor.showModal() != ui::ModalResult::Ok) return;
    for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = editor.readValue(i);
    send();
}

std::string NumberOption::valueText() {
    if (ui::ComboBox* box = list()) return box->text();
    if (ui::Edit* box = edit()) return box->text();
    if (TCustomTrackBar* bar = trackBar())
        return isFixed ? ui::formatGeneral(bar->position() * 0.01)
                       : std::to_string(bar->position());
    refreshIfStale();
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ',';
        text += numberText(values[i], isFixed);
    }
    return text;
}

void NumberOption::setValueText(const std::string& text) {
    if (values.empty()) return;
    if (ui::ComboBox* box = list()) {
        if (kind_ == Kind::CompactList) {
            box->setComboText(text);
            listChanged();
            return;
        }
        const std::string wanted = base::lowered(text);
        const auto& items = box->items();
        const auto found = std::find_if(items.begin(), items.end(), [&](const std::string& i) {
            return base::lowered(i) == wanted;
        });
        if (found == items.end()) return;
        {
            ui::Detached<ui::Handler> quiet(box->onChange);
            box->setItemIndex(static_cast<int>(found - items.begin()));
        }
        listChanged();
        return;
    }
    if (ui::Edit* box = edit()) {
        {
            ui::Detached<ui::Handler> quiet(box->onChange);
            box->setText(text);
        }
        box->setModified(true);
        editChanged();
        return;
    }
    if (TCustomTrackBar* bar = trackBar()) {
        if (isFixed) {
            // The hundredth the text stands for, as for the device's values: 1.15 is 114.99...
            // hundredths in binary and would restore as 1.14, and go lower at every save.
            if (std::optional<double> v = ui::parseReal(text)) bar->setPosition(toPosition(*v));
        } else if (std::optional<long long> v = ui::parseInteger(text)) {
            bar->setPosition(static_cast<int>(std::clamp<long long>(*v, INT_MIN, INT_MAX)));
        }
        trackBarReleased();
        return;
    }
    std::vector<double> parsed;
    std::stringstream pieces(text);
    std::string piece;
    while (std::getline(pieces, piece, ',')) {
        double value = 0;
        if (!parseNumber(piece, value)) return;
        parsed.push_back(isFixed ? value : std::trunc(value));
    }
    if (parsed.size() != values.size()) return;
    values = std::move(parsed);
    send();
}

void NumberOption::setRange(double low, double high, double step) {
    min = low;
    max = high;
    quant = step;
    constraintKind = numberRange;
}

void NumberOption::replaceConstraint(Word kind, double low, double high, double step,
                                     std::vector<double> entries) {
    const bool sameRange = kind != numberRange || (low == min && high == max && step == quant);
    if (kind == constraintKind && entries == wordList && sameRange) return;
    constraintKind = kind;
    wordList = std::move(entries);
    min = kind == numberRange ? low : kNoLowerBound;
    max = kind == numberRange ? high : kNoUpperBound;
    quant = kind == numberRange ? step : 0;
    if (ui::ComboBox* box = kind_ == Kind::List ? list() : nullptr) {
        box->clearItems();
        showInList();
    }
    if (TCustomTrackBar* bar = trackBar(); bar && kind == numberRange) {
        {
            ui::Detached<ui::Handler> quiet(bar->onChange);
            bar->setRange(toPosition(min), toPosition(max));
        }
        showInTrackBar();
    }
}

void NumberOption::addWordListEntry(double entry) {
    wordList.push_back(entry);
    constraintKind = numberWordList;
}

void NumberOption::getBounds(double& low, double& high) const {
    switch (constraintKind) {
        case numberWordList:
            low = kNoUpperBound;
            high = kNoLowerBound;
            for (double entry : wordList) {
                if (entry < low) low = entry;
                if (entry > high) high = entry;
            }
            break;
        case numberRange:
            low = min;
            high = max;
            break;
        default:
            low = kNoLowerBound;
            high = kNoUpperBound;
    }
}

}  // namespace tarnwick
