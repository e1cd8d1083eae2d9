#include "ui/combo_box.h"

#include <algorithm>

#include "ui/text_metrics.h"

namespace ui {

ComboBox::ComboBox(Container* parent, ComboStyle style) : Control(parent), style_(style) {
    setBounds(0, 0, scaled(145), scaled(21));
    setTranslateParts(TranslateHint | TranslateItems);
}

void ComboBox::fitWidthToItems(int least) {
    const int arrowAndEdges = scaled(28);
    int w = least;
    for (const std::string& item : items_) w = std::max(w, textWidth(font(), item) + arrowAndEdges);
    setWidth(w);
}

void ComboBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    if (style_ == ComboStyle::DropDownList) setText("");
    notify(Property::Items);
}

void ComboBox::addItem(const std::string& item) {
    items_.push_back(item);
    notify(Property::Items);
}

void ComboBox::clearItems() {
    setItems({});
}

void ComboBox::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    itemIndex_ = index;
    if (index >= 0)
        setText(items_[static_cast<std::size_t>(index)]);
    else if (style_ == ComboStyle::DropDownList)
        setText("");
    notify(Property::Selection);
}

int ComboBox::indexOf(const std::string& item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == item) return static_cast<int>(i);
    return -1;
}

void ComboBox::setComboText(const std::string& t) {
    if (style_ == ComboStyle::DropDownList) {
        setItemIndex(indexOf(t));
        return;
    }
    int i = indexOf(t);
    itemIndex_ = i;
    setText(t);
    notify(Property::Selection);
}

void ComboBox::setDroppedWidth(int w) {
    droppedWidth_ = w < 0 ? 0 : w;
    notify(Property::Style);
}

void ComboBox::userSelect(int index) {
    if (!usable() || !showing() || index < 0 || index >= static_cast<int>(items_.size())) return;
    setItemIndex(index);
    // Either may destroy the box.
    if (onSelect)
        onSelect();
    else if (onChange)
        onChange();
}

void ComboBox::userTypeText(const std::string& t) {
    if (style_ != ComboStyle::DropDown || !usable() || !showing()) return;
    setComboText(t);
    if (onChange) onChange();
}

// Items are translated like texts: an item list replaced by the program since the last
// translation is left alone.
void ComboBox::translate(const std::function<std::string(const std::string&)>& tr) {
    Control::translate(tr);
    if (!(translateParts() & TranslateItems) || items_.empty()) return;
    if (itemSources_.empty()) {
        itemSources_ = items_;
    } else if (items_ != itemsShown_) {
        return;
    }
    int index = itemIndex_;
    std::vector<std::string> shown;
    for (const auto& s : itemSources_) shown.push_back(tr(s));
    itemsShown_ = shown;
    items_ = std::move(shown);
    notify(Property::Items);
    if (index >= 0) setItemIndex(index);
}

}  // namespace ui
