// What the source's windows need while any of them exists: its window classes (registered with
// the module's own instance handle), the activation context of its own manifest (common controls
// version 6 inside a host that has none), and GDI+. Acquired by each top-level window and
// released when it is destroyed; the last release undoes everything.
#pragma once

#include <windows.h>

namespace ui::win32 {

inline constexpr const wchar_t* kFormClass = L"TarnwickForm";
inline constexpr const wchar_t* kPanelClass = L"TarnwickPanel";
inline constexpr const wchar_t* kPaintClass = L"TarnwickPaint";

HINSTANCE instance();
void acquireSession();
void releaseSession();
bool sessionActive();

// Makes the module's activation context current for the scope (when there is one).
class ActivationScope {
  public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

  private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// The window procedure of the three classes (peers.cpp).
LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace ui::win32
