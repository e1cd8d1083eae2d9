// Popup menus. An item's caption "-" makes a separator.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/types.h"

namespace ui {

class MenuItem {
  public:
    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { caption_ = std::move(c); }
    bool separator() const { return caption_ == "-"; }
    bool checked() const { return checked_; }
    void setChecked(bool c) { checked_ = c; }
    // An auto-check item toggles its check mark before onClick runs.
    bool autoCheck() const { return autoCheck_; }
    void setAutoCheck(bool a) { autoCheck_ = a; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }

    // Runs with the item itself, so that one handler can serve many items.
    std::function<void(MenuItem&)> onClick;

    // The user chooses the item; disabled, hidden items and separators do nothing.
    void userChoose();

    void translate(const std::function<std::string(const std::string&)>& tr);

  private:
    std::string name_;
    std::string caption_;
    bool checked_ = false;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int tag_ = 0;
    std::string source_;
    std::string shown_;
    bool translated_ = false;
};

class PopupMenu {
  public:
    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }
    MenuItem& add(const std::string& caption);
    MenuItem& insert(std::size_t index, const std::string& caption);
    std::size_t count() const { return items_.size(); }
    MenuItem& item(std::size_t i) const { return *items_.at(i); }
    void remove(std::size_t i);
    // The first item with this caption; null when none has it.
    MenuItem* find(const std::string& caption) const;
    // Opens at a screen position (the backend shows it; the choice arrives as a click).
    void popup(Point screen);
    void translate(const std::function<std::string(const std::string&)>& tr);

  private:
    std::string name_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace ui
