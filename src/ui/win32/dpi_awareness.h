// The source lives in someone else's process and must not change its DPI awareness: its windows
// are made per-monitor aware through the thread's awareness context, set around the work and put
// back after it, where Windows offers that (Windows 10 1703 on). Elsewhere (Windows 7 and 8, older
// Wine) the system's DPI stands. Every function is looked up at run time.
#pragma once

#include <windows.h>

namespace ui::win32 {

// Makes the thread per-monitor aware (version 2) for the scope, when the system can.
class DpiAwarenessScope {
  public:
    DpiAwarenessScope();
    ~DpiAwarenessScope();
    DpiAwarenessScope(const DpiAwarenessScope&) = delete;
    DpiAwarenessScope& operator=(const DpiAwarenessScope&) = delete;
    bool active() const { return previous_ != nullptr; }

  private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The DPI of the screen as the thread sees it (LOGPIXELSY of the screen).
int systemDpi();
// The DPI the window is shown in: its monitor's where it is per-monitor aware, else the system's.
int windowDpi(HWND window);
// The DPI of a monitor for a per-monitor aware thread, else the system's.
int monitorDpi(HMONITOR monitor);
// AdjustWindowRectEx for a window at the DPI.
void adjustWindowRect(RECT& r, DWORD style, DWORD exStyle, int dpi);
// GetSystemMetrics at the DPI.
int systemMetric(int index, int dpi);

}  // namespace ui::win32
