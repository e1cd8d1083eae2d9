#include "ui/win32/dpi_awareness.h"

#include "ui/dpi.h"

namespace ui::win32 {

namespace {

template <class F>
F user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using DpiForWindow = UINT(WINAPI*)(HWND);
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using MetricsForDpi = int(WINAPI*)(int, UINT);
// MDT_EFFECTIVE_DPI is 0.
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

SetContext setContext() {
    static const SetContext f = user32Function<SetContext>("SetThreadDpiAwarenessContext");
    return f;
}

DpiForMonitor dpiForMonitor() {
    // shcore.dll stays loaded once loaded: it is a system library every Windows 8.1 has.
    static const DpiForMonitor f = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<DpiForMonitor>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    return f;
}

}  // namespace

DpiAwarenessScope::DpiAwarenessScope() {
    if (SetContext set = setContext()) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

DpiAwarenessScope::~DpiAwarenessScope() {
    if (previous_) setContext()(previous_);
}

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return boundedDpi(dpi > 0 ? dpi : kBaseDpi);
}

int windowDpi(HWND window) {
    static const DpiForWindow f = user32Function<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = f && window ? f(window) : 0;
    return dpi > 0 ? boundedDpi(static_cast<int>(dpi)) : systemDpi();
}

int monitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (DpiForMonitor f = dpiForMonitor();
        f && monitor && SUCCEEDED(f(monitor, 0, &x, &y)) && y > 0)
        return boundedDpi(static_cast<int>(y));
    return systemDpi();
}

void adjustWindowRect(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    static const AdjustForDpi f = user32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (!f || !f(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

int systemMetric(int index, int dpi) {
    static const MetricsForDpi f = user32Function<MetricsForDpi>("GetSystemMetricsForDpi");
    return f ? f(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace ui::win32
