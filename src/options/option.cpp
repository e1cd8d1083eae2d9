#include "options/option.h"

#include <algorithm>

#include "base/debug_log.h"
#include "base/translate.h"
#include "ui/button.h"
#include "ui/dpi.h"

namespace tarnwick {

std::string unitText(Word unit) {
    switch (unit) {
        case SANE_UNIT_NONE:
            return {};
        case SANE_UNIT_PIXEL:
            return tr("pel");
        case SANE_UNIT_BIT:
            return tr("bit");
        case SANE_UNIT_MM:
            return tr("mm");
        case SANE_UNIT_DPI:
            return tr("dpi");
        case SANE_UNIT_PERCENT:
            return "%";  // the same sign in every language
        case SANE_UNIT_MICROSECOND:
            return tr("microsecond");
        default:
            return tr("unknown");
    }
}

Option::Option(Word index, std::string name, std::string title, std::string description, Word unit,
               Word size, Word capabilities, OptionDevice* device)
    : capabilities(capabilities),
      index(index),
      device(device),
      size(size),
      unit(unit),
      name(std::move(name)),
      title(std::move(title)),
      description(std::move(description)) {
    if (!debugLogEnabled()) return;
    debugLog(tr("Option created: %d, %s\n"), this->index, this->name.c_str());
    debugLog(tr("\tOption capabilities: %d\n"), this->capabilities);
}

Option::~Option() {
    destroyControl();
}

void Option::destroyControl() {
    if (row_) {
        // A control the window moved onto a tool bar of its own no longer sits in the row.
        if (control && control->parent() != row_) control->destroy();
        row_->destroy();
    } else if (control) {
        control->destroy();
    }
    control = nullptr;
    holder_ = row_ = nullptr;
    captionLabel_ = unitLabel_ = nullptr;
}

namespace {

// At 96 DPI:
constexpr int kCaptionWidth = 150;
constexpr int kCaptionLabelWidth = 145;
constexpr int kCaptionLineHeight = 16;
constexpr int kUnitWidth = 50;
constexpr int kUnitMargin = 4;
// Longer captions wrap, so that the controls keep a usable width.
constexpr int kMaxCaptionWidth = 240;

// Texts of option controls come from the daemon (or the unit table): the window's form
// translation leaves them alone.
void keepTexts(ui::Control& c) {
    c.setTranslateParts(ui::TranslateNone);
}

}  // namespace

ui::Container& Option::beginControl(ui::Container& parent, bool compact) {
    // A second build replaces the first: no row may outlive the option it calls.
    destroyControl();
    this->compact = compact;
    if (compact) {
        holder_ = &parent;
        return parent;
    }
    ui::Panel& row = parent.add<ui::Panel>();
    keepTexts(row);
    row.setBounds(0, 0, parent.width() - parent.scaled(20), parent.scaled(24));
    row.setAlign(ui::Align::Top);
    ui::Panel& column = row.add<ui::Panel>();
    keepTexts(column);
    column.setWidth(column.scaled(kCaptionWidth));
    column.setAlign(ui::Align::Left);
    ui::Label& caption = column.add<ui::Label>();
    keepTexts(caption);
    caption.setAlignment(ui::TextAlign::Right);
    caption.setLayout(ui::TextLayout::Center);
    caption.setWordWrap(true);
    caption.setTransparent(true);
    caption.setText(trSane(title) + ": ");
    caption.setHint(description);
    holder_ = row_ = &row;
    captionLabel_ = &caption;
    setCaptionWidth(row.scaled(kCaptionLabelWidth));
    ui::Label& unitLabel = row.add<ui::Label>();
    keepTexts(unitLabel);
    unitLabel.setWidth(unitLabel.scaled(kUnitWidth));
    unitLabel.setAlign(ui::Align::Right);
    unitLabel.setLayout(ui::TextLayout::Center);
    unitLabel.setTransparent(true);
    unitLabel.setText(unitText());
    unitLabel_ = &unitLabel;
    return row;
}

void Option::translateTexts() {
    if (captionLabel_) captionLabel_->setText(trSane(title) + ": ");
}

void Option::setCaptionWidth(int width) {
    const auto px = [this](int v) { return captionLabel_->scaled(v); };
    const int height =
        px(kCaptionLineHeight) *
        (1 + ui::textWidth(captionLabel_->font(), captionLabel_->text()) / std::max(width, 1));
    captionLabel_->setBounds(0, px(4), width, height);
    ui::Container& column = *captionLabel_->parent();
    column.setBounds(column.left(), column.top(), width + px(kCaptionWidth - kCaptionLabelWidth),
                     height + px(8));
    row_->setHeight(height + px(8));
    // A push button keeps its own width, placed beside the caption rather than filling the row.
    if (auto* button = dynamic_cast<ui::Button*>(control)) button->setLeft(column.width());
}

void alignColumns(const std::vector<Option*>& rows) {
    int dpi = ui::kBaseDpi;
    for (const Option* option : rows)
        if (option->row_) dpi = option->row_->dpi();
    int caption = ui::scaled(kCaptionLabelWidth, dpi), unit = ui::scaled(kUnitWidth, dpi);
    for (const Option* option : rows) {
        if (!option->row_) continue;
        const ui::Font font = option->captionLabel_->font();
        caption = std::max(caption, ui::textWidth(font, option->captionLabel_->text()) + 1);
        unit = std::max(
            unit, ui::textWidth(font, option->widestUnitText()) + ui::scaled(kUnitMargin, dpi));
    }
    caption = std::min(caption, ui::scaled(kMaxCaptionWidth, dpi));
    for (Option* option : rows) {
        if (!option->row_) continue;
        option->setCaptionWidth(caption);
        option->unitLabel_->setWidth(unit);
    }
}

ui::Container* Option::finishControl(ui::Control& built) {
    keepTexts(built);
    built.setHint(description);
    control = &built;
    refresh();
    return holder_;
}

void Option::fillRow(ui::Control& c) const {
    if (!compact) c.setAlign(ui::Align::Client);
}

void Option::updateState() {
    if (!control || !holder_) return;
    const bool usable = isUsable();
    if (hideInactive) {
        holder_->setVisible(usable);
        return;
    }
    control->setEnabled(usable);
    if (captionLabel_)
        captionLabel_->setTextColor(usable ? ui::SystemColor::WindowText
                                           : ui::SystemColor::GrayText);
}

}  // namespace tarnwick
