// Drop-down lists: a fixed list, or a list with a free-text field.
#pragma once

#include <optional>
#include <vector>

#include "ui/control.h"

namespace ui {

enum class ComboStyle { DropDownList, DropDown };

// Changes made by code (items, selection, text) run no handler; the user's selection or typing
// runs onChange (a selection runs onSelect instead when that is set). Losing the focus runs
// onExit, as for every control.
class ComboBox : public Control {
  public:
    explicit ComboBox(Container* parent, ComboStyle style = ComboStyle::DropDownList);
    bool canFocus() const override { return true; }

    ComboStyle style() const { return style_; }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    void addItem(const std::string& item);
    void clearItems();
    int itemIndex() const { return itemIndex_; }
    // -1 for none; an index outside the list selects nothing. The text follows the selection.
    void setItemIndex(int index);
    // The index of the first item equal to the text, -1 when none is.
    int indexOf(const std::string& item) const;
    // In a fixed list a text selects the equal item (or nothing); in a free-text list it is
    // the field's text.
    void setComboText(const std::string& t);

    // Width of the opened list; never less than the box's own width.
    int droppedWidth() const { return droppedWidth_ > width() ? droppedWidth_ : width(); }
    void setDroppedWidth(int w);
    // The box's width: its longest item with the arrow and edges, and no less than `least`.
    void fitWidthToItems(int least);

    Handler onChange;
    // Only a pick from the list: typed text is taken on Enter or on leaving, not per key.
    Handler onSelect;

    void userSelect(int index);
    // Free-text lists only: the user replaces the field's text.
    void userTypeText(const std::string& t);

    void translate(const std::function<std::string(const std::string&)>& tr) override;

  private:
    ComboStyle style_;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    int droppedWidth_ = 0;
    std::vector<std::string> itemSources_;
    std::vector<std::string> itemsShown_;
};

}  // namespace ui
