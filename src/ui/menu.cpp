#include "ui/menu.h"

#include "ui/backend.h"

namespace ui {

void MenuItem::userChoose() {
    if (!enabled_ || !visible_ || separator()) return;
    if (autoCheck_) checked_ = !checked_;
    if (onClick) onClick(*this);
}

void MenuItem::translate(const std::function<std::string(const std::string&)>& tr) {
    if (separator() || caption_.empty()) return;
    if (!translated_) {
        source_ = caption_;
        translated_ = true;
    } else if (caption_ != shown_) {
        return;  // changed by the program since the last translation
    }
    shown_ = tr(source_);
    caption_ = shown_;
}

MenuItem& PopupMenu::add(const std::string& caption) {
    return insert(items_.size(), caption);
}

MenuItem& PopupMenu::insert(std::size_t index, const std::string& caption) {
    if (index > items_.size()) index = items_.size();
    auto item = std::make_unique<MenuItem>();
    item->setCaption(caption);
    MenuItem& ref = *item;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return ref;
}

void PopupMenu::remove(std::size_t i) {
    if (i < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
}

MenuItem* PopupMenu::find(const std::string& caption) const {
    for (auto& i : items_)
        if (i->caption() == caption) return i.get();
    return nullptr;
}

void PopupMenu::popup(Point screen) {
    backend().popup(*this, screen);
}

void PopupMenu::translate(const std::function<std::string(const std::string&)>& tr) {
    for (auto& i : items_) i->translate(tr);
}

}  // namespace ui
