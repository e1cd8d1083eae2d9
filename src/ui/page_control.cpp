#include "ui/page_control.h"

#include <stdexcept>

namespace ui {

void TabSheet::setTabVisible(bool v) {
    tabVisible_ = v;
    notify(Property::Style);
}

PageControl* TabSheet::pageControl() const {
    return dynamic_cast<PageControl*>(parent());
}

void TabSheet::setPageControl(PageControl& pc) {
    PageControl* old = pageControl();
    setParent(pc);
    if (old) old->pagesChanged();
    pc.pagesChanged();
}

TabSheet& PageControl::addPage(const std::string& caption) {
    TabSheet& p = add<TabSheet>();
    p.setText(caption);
    pagesChanged();
    return p;
}

int PageControl::pageCount() const {
    int n = 0;
    for (std::size_t i = 0; i < childCount(); ++i)
        if (dynamic_cast<TabSheet*>(&child(i))) ++n;
    return n;
}

TabSheet& PageControl::page(int index) const {
    int n = 0;
    for (std::size_t i = 0; i < childCount(); ++i)
        if (auto* p = dynamic_cast<TabSheet*>(&child(i)))
            if (n++ == index) return *p;
    throw std::out_of_range("page index");
}

int PageControl::pageIndex(const TabSheet& page) const {
    int n = 0;
    for (std::size_t i = 0; i < childCount(); ++i)
        if (auto* p = dynamic_cast<TabSheet*>(&child(i))) {
            if (p == &page) return n;
            ++n;
        }
    return -1;
}

void PageControl::movePage(TabSheet& p, int index) {
    if (pageIndex(p) < 0) return;
    if (index < 0) index = 0;
    // Child positions and page positions agree, as a page control holds pages only.
    moveChild(p, static_cast<std::size_t>(index));
    pagesChanged();
}

void PageControl::setActivePage(TabSheet* p) {
    if (p && pageIndex(*p) < 0) return;
    active_ = p;
    for (int i = 0; i < pageCount(); ++i) page(i).setVisible(&page(i) == active_);
    notify(Property::Selection);
}

void PageControl::userSelectPage(int index) {
    if (!usable() || index < 0 || index >= pageCount()) return;
    setActivePage(&page(index));
    if (onChange) onChange();
}

void PageControl::pagesChanged() {
    if (active_ && pageIndex(*active_) < 0) active_ = nullptr;
    if (!active_ && pageCount() > 0) active_ = &page(0);
    setActivePage(active_);
}

}  // namespace ui
