// Peers of the page control with its sheets, tool bars with their buttons, and the cool bar.
#pragma once

#include "ui/win32/containers.h"

namespace ui {
class CoolBar;
class PageControl;
class ToolBar;
class ToolButton;
}  // namespace ui

namespace ui::win32 {

class PageControlPeer : public WindowPeer {
  public:
    explicit PageControlPeer(PageControl& pages);
    bool notified(NMHDR& n, LRESULT& result) override;
    // The tabs follow the pages (captions, order, hidden tabs) and the active page.
    void updateTabs();
    // The area the sheets fill, in the tab control's coordinates.
    RECT pageArea() const;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;
    void realized() override { placeSheets(); }

  private:
    void placeSheets();
    PageControl& pages_;
};

class TabSheetPeer : public PanelPeer {
  public:
    using PanelPeer::PanelPeer;
    RECT placement() const override;

  protected:
    void sync(Property what) override;
};

class ToolBarPeer : public WindowPeer {
  public:
    explicit ToolBarPeer(ToolBar& bar);
    ~ToolBarPeer() override;
    void command(WORD code, WORD id) override;
    bool notified(NMHDR& n, LRESULT& result) override;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;

  private:
    void rebuild();
    // Tab reaches a bar with buttons (arrows pick one, Enter or Space presses it), then the
    // boxes on it; a bar of boxes alone passes Tab straight to them.
    void setTabStyle(bool buttons);
    void tab(bool back);
    void updateStates();
    ToolButton* button(int id) const;
    ToolBar& bar_;
    HIMAGELIST images_ = nullptr;
};

// Tool buttons have no window: the tool bar shows them.
class ToolButtonPeer : public Peer {
  public:
    void changed(Control& c, Property what) override;
};

class CoolBarPeer : public WindowPeer {
  public:
    explicit CoolBarPeer(CoolBar& bar);
    bool notified(NMHDR& n, LRESULT& result) override;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void realized() override { updateBands(); }

  private:
    void updateBands();
    // The places the native bar gave the bands' controls become theirs in the toolkit, where
    // the controls under the pointer are looked for.
    void takePlaces();
    CoolBar& bar_;
    bool updating_ = false;
};

}  // namespace ui::win32
