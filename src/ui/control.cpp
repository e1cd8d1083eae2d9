#include "ui/control.h"

#include <algorithm>

#include "ui/backend.h"
#include "ui/dpi.h"
#include "ui/form.h"

namespace ui {

Control::Control(Container* parent)
    : parent_(parent), dpi_(parent ? parent->dpi() : boundedDpi(backend().defaultDpi())) {}

int Control::dpi() const {
    const Control* c = this;
    while (c->parent_) c = c->parent_;
    return c->dpi_;
}

int Control::scaled(int px) const {
    return ui::scaled(px, dpi());
}

int Control::unscaled(int px) const {
    return ui::unscaled(px, dpi());
}

Font Control::font() const {
    Font f = font_;
    f.dpi = dpi();
    return f;
}

void Control::dpiChanged(int from, int to) {
    const Rect b = bounds_;
    setBounds({rescaled(b.left, from, to), rescaled(b.top, from, to), rescaled(b.right, from, to),
               rescaled(b.bottom, from, to)});
}

void Container::dpiChanged(int from, int to) {
    for (auto& child : children_) child->dpiChanged(from, to);
    const int border = borderWidth_;
    borderWidth_ = rescaled(border, from, to);
    Control::dpiChanged(from, to);
    realign();
}

Control::~Control() {
    if (backend().capture() == this) backend().setCapture(nullptr);
    if (Form* f = form(); f && f != this) f->forgetFocus(*this);
}

void Control::setParent(Container& parent) {
    if (parent_ == &parent) return;
    Form* oldForm = form();
    if (oldForm) oldForm->forgetFocus(*this);
    std::unique_ptr<Control> self = parent_ ? parent_->release(*this) : nullptr;
    if (!self) return;  // a form has no parent to move from
    parent.adopt(std::move(self));
}

void Control::destroy() {
    if (!parent_) {
        delete this;
        return;
    }
    if (Form* f = form()) f->forgetFocus(*this);
    Container* p = parent_;
    std::unique_ptr<Control> self = p->release(*this);
    self.reset();
    p->realign();
}

Form* Control::form() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<Form*>(c);
}

void Control::setText(const std::string& text) {
    if (text_ == text) return;
    text_ = text;
    notify(Property::Text);
    textChanged();
}

void Control::setBounds(Rect b) {
    if (b.right < b.left) b.right = b.left;
    if (b.bottom < b.top) b.bottom = b.top;
    if (bounds_ == b) return;
    const bool resized = b.width() != bounds_.width() || b.height() != bounds_.height();
    bounds_ = b;
    notify(Property::Bounds);
    boundsChanged();
    if (parent_ && align_ != Align::None) parent_->realign();
    if (parent_ && resized) parent_->childSizeChanged(*this);
}

void Control::setAlign(Align a) {
    if (align_ == a) return;
    align_ = a;
    if (parent_) parent_->realign();
}

void Control::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    if (!v)
        if (Form* f = form(); f && f != this) f->forgetFocus(*this);
    notify(Property::Visible);
    if (parent_) parent_->realign();
    if (parent_) parent_->childSizeChanged(*this);
}

bool Control::showing() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void Control::setEnabled(bool e) {
    if (enabled_ == e) return;
    enabled_ = e;
    notify(Property::Enabled);
}

bool Control::usable() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void Control::setTextColor(SystemColor c) {
    if (textColor_ == c) return;
    textColor_ = c;
    notify(Property::Color);
}

void Control::setColor(std::optional<Color> c) {
    color_ = c;
    notify(Property::Color);
}

void Control::setCursor(Cursor c) {
    if (cursor_ == c) return;
    cursor_ = c;
    notify(Property::Cursor);
}

bool Control::focused() {
    Form* f = form();
    return f && f->activeControl() == this;
}

bool Control::setFocus() {
    Form* f = form();
    if (!f || !canFocus() || !showing() || !usable()) return false;
    f->setActiveControl(this);
    return true;
}

void Control::focusEntered() {
    if (onEnter) onEnter();
}

void Control::focusLeft() {
    if (onExit) onExit();
}

Point Control::clientToScreen(Point p) const {
    for (const Control* c = this; c; c = c->parent_) {
        p.x += c->bounds_.left;
        p.y += c->bounds_.top;
        if (c->parent_) {
            Rect cr = c->parent_->clientRect();
            p.x += cr.left;
            p.y += cr.top;
        }
    }
    return p;
}

Point Control::screenToClient(Point p) const {
    Point origin = clientToScreen({0, 0});
    return {p.x - origin.x, p.y - origin.y};
}

Rect Control::screenRect() const {
    Point o = clientToScreen({0, 0});
    return {o.x, o.y, o.x + width(), o.y + height()};
}

void Control::userClick() {
    if (!usable() || !showing()) return;
    if (onClick) onClick();
}

void Control::userMouseDown(const MouseEvent& e) {
    if (onMouseDown) onMouseDown(e);
}

void Control::userMouseMove(const MouseEvent& e) {
    if (onMouseMove) onMouseMove(e);
}

void Control::userMouseUp(const MouseEvent& e) {
    if (onMouseUp) onMouseUp(e);
}

void Control::userKeyDown(KeyEvent& e) {
    if (onKeyDown) onKeyDown(e);
}

void Control::notify(Property what) {
    if (peer_) peer_->changed(*this, what);
}

void Control::translateText(std::optional<TranslationMemo>& memo, std::string& text,
                            const std::function<std::string(const std::string&)>& tr) {
    if (!memo) {
        if (text.empty()) return;
        memo = TranslationMemo{text, text};
    } else if (text != memo->shown) {
        return;  // set by the program since the last translation: the program owns it
    }
    memo->shown = tr(memo->source);
    text = memo->shown;
}

void Control::translate(const std::function<std::string(const std::string&)>& tr) {
    if (translateParts_ & TranslateText) {
        std::string t = text_;
        translateText(textMemo_, t, tr);
        setText(t);
    }
    if (translateParts_ & TranslateHint) translateText(hintMemo_, hint_, tr);
}

Container::~Container() {
    // Children go first, last created first, while the container is still whole.
    while (!children_.empty()) children_.pop_back();
}

std::optional<std::size_t> Container::indexOf(const Control& c) const {
    for (std::size_t i = 0; i < children_.size(); ++i)
        if (children_[i].get() == &c) return i;
    return std::nullopt;
}

void Container::moveChild(const Control& c, std::size_t index) {
    auto at = indexOf(c);
    if (!at) return;
    auto child = std::move(children_[*at]);
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(*at));
    index = std::min(index, children_.size());
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(child));
    realign();
    notify(Property::Children);
}

Control* Container::find(const std::string& name) {
    for (auto& c : children_) {
        if (c->name() == name) return c.get();
        if (auto* sub = dynamic_cast<Container*>(c.get()))
            if (Control* found = sub->find(name)) return found;
    }
    return nullptr;
}

Control* Container::controlAt(Point p) {
    Rect cr = clientRect();
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control& c = **it;
        if (!c.visible()) continue;
        Point local{p.x - cr.left, p.y - cr.top};
        if (!c.bounds().contains(local)) continue;
        Point inner{local.x - c.left(), local.y - c.top()};
        if (auto* sub = dynamic_cast<Container*>(&c))
            if (Control* deeper = sub->controlAt(inner)) return deeper;
        return &c;
    }
    return nullptr;
}

void Container::setBorderWidth(int w) {
    borderWidth_ = std::max(0, w);
    realign();
}

Rect Container::clientRect() const {
    return {borderWidth_, borderWidth_, std::max(borderWidth_, width() - borderWidth_),
            std::max(borderWidth_, height() - borderWidth_)};
}

// Aligned children take their place in child order: top ones stack downwards, bottom ones
// upwards, left and right ones from the sides, and client ones fill what remains.
void Container::realign() {
    if (aligning_ || !alignsChildren()) return;
    aligning_ = true;
    Rect r = clientRect();
    Rect area{0, 0, r.width(), r.height()};
    for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (auto& c : children_) {
            if (c->align() != pass || !c->visible()) continue;
            int h = c->height(), w = c->width();
            switch (pass) {
                case Align::Top:
                    c->setBounds(area.left, area.top, area.width(), h);
                    area.top = std::min(area.bottom, area.top + h);
                    break;
                case Align::Bottom:
                    c->setBounds(area.left, area.bottom - h, area.width(), h);
                    area.bottom = std::max(area.top, area.bottom - h);
                    break;
                case Align::Left:
                    c->setBounds(area.left, area.top, w, area.height());
                    area.left = std::min(area.right, area.left + w);
                    break;
                case Align::Right:
                    c->setBounds(area.right - w, area.top, w, area.height());
                    area.right = std::max(area.left, area.right - w);
                    break;
                default:
                    c->setBounds(area);
                    break;
            }
        }
    }
    aligning_ = false;
}

void Container::translate(const std::function<std::string(const std::string&)>& tr) {
    Control::translate(tr);
    for (auto& c : children_) c->translate(tr);
}

void Container::adopt(std::unique_ptr<Control> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
    notify(Property::Children);
    realign();
}

std::unique_ptr<Control> Container::release(Control& child) {
    auto at = indexOf(child);
    if (!at) return nullptr;
    auto owned = std::move(children_[*at]);
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(*at));
    owned->parent_ = nullptr;
    notify(Property::Children);
    realign();
    return owned;
}

}  // namespace ui
