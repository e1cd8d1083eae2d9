// Page controls with tab sheets. A page's caption is its text.
#pragma once

#include "ui/control.h"

namespace ui {

class PageControl;

class TabSheet : public Container {
  public:
    explicit TabSheet(Container* parent) : Container(parent) { setAlign(Align::Client); }
    bool tabVisible() const { return tabVisible_; }
    void setTabVisible(bool v);
    PageControl* pageControl() const;
    // Moves the page to the end of another page control.
    void setPageControl(PageControl& pc);

  private:
    bool tabVisible_ = true;
};

class PageControl : public Container {
  public:
    explicit PageControl(Container* parent) : Container(parent) {
        setBounds(0, 0, scaled(289), scaled(193));
    }
    bool canFocus() const override { return true; }

    TabSheet& addPage(const std::string& caption);
    int pageCount() const;
    TabSheet& page(int index) const;
    int pageIndex(const TabSheet& page) const;
    // Moves a page to another position; a position past the end means the last.
    void movePage(TabSheet& page, int index);
    TabSheet* activePage() const { return active_; }
    // Shows the page; by code this runs no handler.
    void setActivePage(TabSheet* page);
    bool flatButtons() const { return flatButtons_; }
    void setFlatButtons(bool f) { flatButtons_ = f; }

    // The user picks a tab: the page shows and onChange runs.
    void userSelectPage(int index);
    Handler onChange;

    // Called when pages come and go.
    void pagesChanged();

  private:
    TabSheet* active_ = nullptr;
    bool flatButtons_ = false;
};

}  // namespace ui
