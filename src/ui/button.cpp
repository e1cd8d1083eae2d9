#include "ui/button.h"

#include "ui/form.h"

namespace ui {

void Button::setGlyph(std::shared_ptr<const Surface> glyph, std::optional<Color> transparent) {
    glyph_ = std::move(glyph);
    transparent_ = transparent;
    notify(Property::Style);
}

void Button::userClick() {
    if (!usable() || !showing()) return;
    if (modalResult_ != ModalResult::None)
        if (Form* f = form()) f->setModalResult(modalResult_);
    if (onClick) onClick();
}

void Label::setAutoSize(bool a) {
    autoSize_ = a;
    textChanged();
}

void Label::textChanged() {
    if (autoSize_) setBounds(left(), top(), textWidth(font(), text()), lineHeight(font()));
}

void Label::dpiChanged(int from, int to) {
    Control::dpiChanged(from, to);
    textChanged();
}

void CheckBox::setState(CheckState s) {
    if (s == CheckState::Grayed && !allowGrayed_) s = CheckState::Unchecked;
    if (s == state_) return;
    state_ = s;
    notify(Property::State);
    if (onClick) onClick();
}

void CheckBox::userClick() {
    if (!usable() || !showing()) return;
    switch (state_) {
        case CheckState::Unchecked:
            setState(allowGrayed_ ? CheckState::Grayed : CheckState::Checked);
            break;
        case CheckState::Grayed:
            setState(CheckState::Checked);
            break;
        case CheckState::Checked:
            setState(CheckState::Unchecked);
            break;
    }
}

void RadioButton::setChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    notify(Property::State);
    if (!c) return;
    if (Container* p = parent())
        for (std::size_t i = 0; i < p->childCount(); ++i)
            if (auto* other = dynamic_cast<RadioButton*>(&p->child(i)); other && other != this)
                other->setChecked(false);
    if (onClick) onClick();
}

void RadioButton::userClick() {
    if (!usable() || !showing()) return;
    setChecked(true);
}

}  // namespace ui
