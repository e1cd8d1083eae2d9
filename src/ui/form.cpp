#include "ui/form.h"

#include <algorithm>

#include "ui/backend.h"
#include "ui/button.h"
#include "ui/dpi.h"
#include "ui/menu.h"

namespace ui {

Form::Form() : Container(nullptr) {
    setVisible(false);
    setBounds(0, 0, scaled(320), scaled(240));
}

void Form::setDpi(int dpi) {
    const int from = this->dpi(), to = boundedDpi(dpi);
    if (from == to) return;
    dpi_ = to;
    dpiChanged(from, to);
    notify(Property::Font);
    if (onDpiChanged) onDpiChanged();
}

Form::~Form() {
    active_ = nullptr;
    if (backend().capture() && backend().capture()->form() == this) backend().setCapture(nullptr);
}

void Form::setTopMost(bool t) {
    topMost_ = t;
    notify(Property::Style);
}

void Form::centerOnScreen() {
    Rect s = backend().screen();
    setBounds(s.left + (s.width() - width()) / 2, s.top + (s.height() - height()) / 2, width(),
              height());
}

void Form::keepOnWorkArea() {
    Rect area = backend().workAreaAt({left(), top()});
    // The frame too stays on the area.
    const Rect frame = backend().frameOf(*this);
    area = {area.left + frame.left, area.top + frame.top, area.right - frame.right,
            area.bottom - frame.bottom};
    const int w = std::clamp(width(), 0, std::max(area.width(), 0)),
              h = std::clamp(height(), 0, std::max(area.height(), 0));
    setBounds(std::clamp(left(), area.left, area.right - w),
              std::clamp(top(), area.top, area.bottom - h), w, h);
}

ModalResult Form::showModal() {
    modalResult_ = ModalResult::None;
    modal_ = true;
    show();
    ModalResult r = backend().runModal(*this);
    modal_ = false;
    hide();
    modalResult_ = r;
    return r;
}

void Form::show() {
    if (visible()) return;
    setVisible(true);
    backend().formShown(*this, true);
    if (onShow) onShow();
    if (onActivate) onActivate();
}

void Form::hide() {
    if (!visible()) return;
    setVisible(false);
    backend().formShown(*this, false);
    if (onHide) onHide();
}

void Form::close() {
    CloseAction action = CloseAction::Hide;
    if (onClose) onClose(action);
    if (action == CloseAction::None) return;
    if (modal_) {
        if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
        return;
    }
    hide();
}

void Form::setActiveControl(Control* c) {
    if (c == active_) return;
    Control* previous = active_;
    active_ = c;
    notify(Property::Focus);
    if (previous) previous->focusLeft();
    // An onExit handler may have moved the focus elsewhere; then that move stands.
    if (active_ == c && c) c->focusEntered();
}

void Form::forgetFocus(Control& c) {
    for (Control* a = active_; a; a = a->parent())
        if (a == &c) {
            active_ = nullptr;
            return;
        }
}

void Form::dispatchKey(KeyEvent& e, Control* target) {
    if (keyPreview_) {
        userKeyDown(e);
        if (e.key == 0) return;
    }
    if (target && target != this) {
        target->userKeyDown(e);
        if (e.key == 0) return;
    }
    if (e.key != key::Enter && e.key != key::Escape) return;
    // The first default (Enter) or cancel (Escape) button, depth first.
    std::function<Button*(Container&)> findButton = [&](Container& c) -> Button* {
        for (std::size_t i = 0; i < c.childCount(); ++i) {
            Control& child = c.child(i);
            if (auto* b = dynamic_cast<Button*>(&child))
                if ((e.key == key::Enter ? b->isDefault() : b->isCancel()) && b->showing() &&
                    b->usable())
                    return b;
            if (auto* sub = dynamic_cast<Container*>(&child))
                if (Button* b = findButton(*sub)) return b;
        }
        return nullptr;
    };
    if (Button* b = findButton(*this)) {
        e.key = 0;
        b->userClick();
    }
}

PopupMenu& Form::addMenu(const std::string& name) {
    menus_.push_back(std::make_unique<PopupMenu>());
    menus_.back()->setName(name);
    return *menus_.back();
}

void Form::translate(const std::function<std::string(const std::string&)>& tr) {
    Container::translate(tr);
    for (auto& m : menus_) m->translate(tr);
}

}  // namespace ui
