#include "ui/tool_bar.h"

#include <algorithm>

#include "base/scoped_value.h"
#include "ui/backend.h"
#include "ui/dpi.h"
#include "ui/menu.h"
#include "ui/text_metrics.h"

namespace ui {

void ToolButton::setDown(bool d) {
    if (d == down_) return;
    down_ = d;
    notify(Property::State);
    if (!d || !grouped_ || !parent()) return;
    // The group is the run of grouped check buttons around this one.
    Container& p = *parent();
    auto at = p.indexOf(*this);
    auto member = [&](std::size_t i) -> ToolButton* {
        auto* b = dynamic_cast<ToolButton*>(&p.child(i));
        return b && b->grouped_ && b->style_ == ToolButtonStyle::Check ? b : nullptr;
    };
    for (std::size_t i = *at; i-- > 0;) {
        ToolButton* b = member(i);
        if (!b) break;
        b->setDown(false);
    }
    for (std::size_t i = *at + 1; i < p.childCount(); ++i) {
        ToolButton* b = member(i);
        if (!b) break;
        b->setDown(false);
    }
}

void ToolButton::userClick() {
    if (!usable() || !showing()) return;
    if (style_ == ToolButtonStyle::Separator || style_ == ToolButtonStyle::Divider) return;
    if (style_ == ToolButtonStyle::Check) setDown(grouped_ ? true : !down_);
    if (onClick) onClick();
}

void ToolButton::userDropDown() {
    if (!usable() || !showing() || !dropdownMenu_) return;
    dropdownMenu_->popup(clientToScreen({0, height()}));
}

ToolButton& ToolBar::addButton(const std::string& hint, ToolButtonStyle style) {
    ToolButton& b = add<ToolButton>();
    b.setHint(hint);
    b.setStyle(style);
    layoutButtons();
    return b;
}

void ToolBar::setButtonHeight(int h) {
    buttonHeight_ = std::max(0, h);
    layoutButtons();
}

void ToolBar::layoutButtons() {
    if (layingOut_) return;
    layingOut_ = true;
    // An image with the margins the native bars give it, and the arrow of a drop-down button.
    const int imageWidth = toolImageSide(images_, dpi()) + scaled(7);
    const int arrowWidth = scaled(14);
    int x = 0;
    for (std::size_t i = 0; i < childCount(); ++i) {
        Control& c = child(i);
        if (!c.visible()) continue;
        auto* b = dynamic_cast<ToolButton*>(&c);
        int w = c.width(), h = c.height();
        if (b && b->style() != ToolButtonStyle::Separator &&
            b->style() != ToolButtonStyle::Divider) {
            w = imageWidth + (b->style() == ToolButtonStyle::DropDown ? arrowWidth : 0);
            h = buttonHeight_;
        }
        c.setBounds(x, 0, w, h);
        x += w;
    }
    layingOut_ = false;
    notify(Property::Style);
}

void ToolBar::dpiChanged(int from, int to) {
    buttonHeight_ = rescaled(buttonHeight_, from, to);
    Container::dpiChanged(from, to);
    layoutButtons();
}

int ToolBar::contentWidth() const {
    int width = 0;
    for (std::size_t i = 0; i < childCount(); ++i)
        if (child(i).visible()) width += child(i).width();
    return width;
}

// A tool bar's buttons and boxes, else the control's own width: a control the bar widened to the
// end of its row does not keep that width as its least.
int CoolBar::leastWidth(const CoolBand& band) {
    if (band.minWidth > 0) return band.minWidth;
    if (const auto* bar = dynamic_cast<const ToolBar*>(band.control)) return bar->contentWidth();
    return band.control->width();
}

int CoolBar::headerWidth(const CoolBand& band) const {
    return scaled(kGripperWidth) +
           (band.text.empty() ? 0 : textWidth(font(), band.text) + scaled(kTextMargins));
}

int CoolBar::placeBands() {
    const base::ScopedValue guard(placing_, true);
    placedWidth_ = width();
    std::vector<const CoolBand*> shown;
    for (const CoolBand& b : bands_)
        if (b.visible && b.control && b.control->visible()) shown.push_back(&b);
    int top = 0;
    for (std::size_t first = 0; first < shown.size();) {
        std::size_t end = first + 1;
        while (end < shown.size() && !shown[end]->breakLine) ++end;
        int rowHeight = 0;
        for (std::size_t i = first; i < end; ++i)
            rowHeight = std::max(rowHeight, shown[i]->control->height() + scaled(kRowEdges));
        int x = 0;
        for (std::size_t i = first; i < end; ++i) {
            const CoolBand& b = *shown[i];
            const int header = headerWidth(b);
            int w = std::max(b.width, header + leastWidth(b));
            if (i + 1 == end) w = std::max(w, width() - x);
            Control& c = *b.control;
            c.setBounds(x + header, top + (rowHeight - c.height()) / 2, w - header, c.height());
            x += w;
        }
        top += rowHeight;
        first = end;
    }
    return top;
}

void CoolBar::bandsChanged() {
    const int height = placeBands();
    setHeight(height);
    notify(Property::Style);
}

void CoolBar::placeBand(Control& control, int left, int top, int width) {
    if (control.parent() != this) return;
    const base::ScopedValue guard(placing_, true);
    control.setBounds(left, top, width, control.height());
}

void CoolBar::dpiChanged(int from, int to) {
    for (CoolBand& b : bands_) {
        b.width = rescaled(b.width, from, to);
        b.minWidth = rescaled(b.minWidth, from, to);
    }
    Container::dpiChanged(from, to);
    bandsChanged();
}

void CoolBar::boundsChanged() {
    Container::boundsChanged();
    if (!placing_ && width() != placedWidth_) bandsChanged();
}

CoolBand& CoolBar::addBand(Control& control, const std::string& text) {
    if (CoolBand* b = bandOf(control)) {
        b->visible = true;
        notify(Property::Children);
        bandsChanged();
        return *b;
    }
    bands_.push_back({&control, text, scaled(100), 0, true, true, {}, {}});
    notify(Property::Children);
    bandsChanged();
    return bands_.back();
}

void CoolBar::removeBand(const Control& control) {
    std::erase_if(bands_, [&](const CoolBand& b) { return b.control == &control; });
    notify(Property::Children);
    bandsChanged();
}

CoolBand* CoolBar::bandOf(const Control& control) {
    for (auto& b : bands_)
        if (b.control == &control) return &b;
    return nullptr;
}

void CoolBar::translate(const std::function<std::string(const std::string&)>& tr) {
    Container::translate(tr);
    if (!(translateParts() & TranslateText)) return;
    for (auto& b : bands_) {
        if (b.text.empty()) continue;
        if (b.source.empty())
            b.source = b.text;
        else if (b.text != b.shown)
            continue;
        b.shown = tr(b.source);
        b.text = b.shown;
    }
    bandsChanged();
}

}  // namespace ui
