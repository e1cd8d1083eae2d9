// Peers of the simple controls.
#pragma once

#include <optional>

#include "ui/canvas.h"
#include "ui/win32/peers.h"

namespace ui::win32 {

// A picture for a button, its transparent pixels in the button's face colour.
HBITMAP glyphBitmap(const Surface& s, std::optional<Color> transparent);

class ButtonPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    ~ButtonPeer() override;
    void command(WORD code, WORD id) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;

  private:
    HBITMAP glyph_ = nullptr;
};

class LabelPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    void command(WORD code, WORD id) override;

  protected:
    HWND create(HWND parent) override;
};

class EditPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    void command(WORD code, WORD id) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;

  private:
    bool writing_ = false;
};

class ComboPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    void command(WORD code, WORD id) override;
    RECT placement() const override;
    static constexpr int kListHeight = 200;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;
    void realized() override;
};

class TrackBarPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;
    void scrolled(WPARAM wp) override;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;

  private:
    // The bar's own end-of-move notice while the mouse button's release is handled.
    bool quiet_ = false;
    int wheel_ = 0;  // wheel movement short of a notch
};

class ProgressPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;
};

class StatusBarPeer : public WindowPeer {
  public:
    using WindowPeer::WindowPeer;

  protected:
    HWND create(HWND parent) override;
    void sync(Property what) override;
    void syncAll() override;
};

}  // namespace ui::win32
