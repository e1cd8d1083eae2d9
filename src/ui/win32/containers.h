// Peers of the widgets that hold others: forms, panels (and group boxes), scroll boxes, and the
// paint box, whose picture is drawn with GDI+ as the canvas reports each operation.
#pragma once

#include "ui/canvas.h"
#include "ui/win32/hints.h"
#include "ui/win32/peers.h"

namespace ui {
class Form;
class PaintBox;
class ScrollBox;
}  // namespace ui

namespace ui::win32 {

class PanelPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void paint();
};

// The window styles of the form's border style.
void formStyles(const Form& form, DWORD& style, DWORD& exStyle);

class FormPeer : public PanelPeer {
  public:
    explicit FormPeer(Form& form);
    ~FormPeer() override;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
    RECT placement() const override;
    HintWindow& hints() { return hints_; }

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;

  private:
    void focusActive();
    // The window moved to a monitor of another DPI; the system suggests its new rectangle.
    void dpiChanged(int dpi, const RECT& suggested);
    void applyFonts(Control& c);
    Form& form_;
    HintWindow hints_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
};

class ScrollBoxPeer : public PanelPeer {
  public:
    explicit ScrollBoxPeer(ScrollBox& box);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;

  private:
    void updateBars();
    ScrollBox& box_;
};

class PaintBoxPeer : public WindowPeer, public CanvasListener {
  public:
    explicit PaintBoxPeer(PaintBox& box);
    ~PaintBoxPeer() override;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
    void drawn(const CanvasOp& op, const PixelView* source) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;

  private:
    // Makes the back buffer the surface's size; true when it was filled from the surface anew.
    bool ensureBuffer();
    void freeBuffer();
    PaintBox& box_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace ui::win32
