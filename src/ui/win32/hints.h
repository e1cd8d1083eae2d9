// The form's tooltip: the hint of the control under the mouse pointer, as the headless toolkit
// keeps it (option descriptions, the tool bars' names). Controls join when the pointer first
// reaches them, and the text is asked for each time it shows, so changed hints need no update.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

class WindowPeer;

class HintWindow {
  public:
    HintWindow() = default;
    HintWindow(const HintWindow&) = delete;
    HintWindow& operator=(const HintWindow&) = delete;

    // A mouse message of `control`, shown by the form window `form`.
    void relay(HWND form, HWND control, UINT msg, WPARAM wp, LPARAM lp);
    // The tooltip's request for a text (WM_NOTIFY to the form); false for other notifications.
    bool notified(LPARAM lp);

  private:
    HWND window_ = nullptr;  // owned by the form window, destroyed with it
    std::wstring text_;
};

// Passes a mouse message of the peer's window (or of a part of it) to its form's tooltip.
void relayHint(WindowPeer& peer, HWND window, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace ui::win32
