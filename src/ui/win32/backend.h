// The Windows backend: native windows for the widgets, the platform's modal loop, boxes, menus,
// timers, fonts and cursors. It is the default backend of the Windows build.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>

#include "ui/backend.h"

namespace ui::win32 {

class Win32Backend : public Backend {
  public:
    Win32Backend() = default;
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    ModalResult runModal(Form& form) override;
    ModalResult messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                           BoxButtons buttons) override;
    bool inputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    void popup(PopupMenu& menu, Point screen) override;
    void processPendingMessages() override;
    bool asksUser() override { return true; }
    void timerChanged(Timer& timer) override;
    void formShown(Form& form, bool shown) override;

    int width(const Font& font, const std::string& text) override;
    int lineHeight(const Font& font) override;
    NumberLocale numberLocale() override;
    Rect screen() override;
    Rect workAreaAt(Point p) override;
    Rect frameOf(const Form& form) override;
    Point cursorPos() override;
    void setScreenCursor(Cursor cursor) override;
    void setCapture(Control* control) override;
    int defaultDpi() override;
    const ImageList& toolImages(int side) override;

    // Runs the work posted so far (not the message queue).
    void runPosted() { Backend::processPendingMessages(); }

  private:
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);
    std::map<UINT_PTR, Timer*> timers_;
    ImageList images_[2];
};

// The tool-button images `side` pixels square as an image list for a tool bar (the caller
// destroys it).
HIMAGELIST toolImageList(int side);
// The window that owns boxes and menus.
HWND ownerWindow();

}  // namespace ui::win32
