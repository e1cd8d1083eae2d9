#include "ui/win32/session.h"

#include <commctrl.h>

#include <initializer_list>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include "platform/win32/own_module.h"

namespace ui::win32 {

namespace {

int users = 0;
HANDLE activationContext = INVALID_HANDLE_VALUE;
ULONG_PTR gdiplusToken = 0;

// The manifest resource a DLL carries for its own use.
constexpr WORD kManifestId = 2;

void registerClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.style = CS_DBLCLKS;
    wc.hIcon = LoadIconW(instance(), L"MAINICON");
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = kPaintClass;
    RegisterClassExW(&wc);
}

void unregisterClasses() {
    for (const wchar_t* name : {kFormClass, kPanelClass, kPaintClass})
        UnregisterClassW(name, instance());
}

void createActivationContext() {
    wchar_t path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameW(instance(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    context.lpSource = path;
    context.hModule = instance();
    context.lpResourceName = MAKEINTRESOURCEW(kManifestId);
    activationContext = CreateActCtxW(&context);
}

}  // namespace

HINSTANCE instance() {
    return platform::ownModuleHandle();
}

bool sessionActive() {
    return users > 0;
}

void acquireSession() {
    if (users++ > 0) return;
    createActivationContext();
    {
        ActivationScope scope;
        INITCOMMONCONTROLSEX controls{
            sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES |
                                 ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    registerClasses();
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) gdiplusToken = 0;
}

void releaseSession() {
    if (users == 0 || --users > 0) return;
    if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
    unregisterClasses();
    if (activationContext != INVALID_HANDLE_VALUE) ReleaseActCtx(activationContext);
    activationContext = INVALID_HANDLE_VALUE;
}

ActivationScope::ActivationScope() {
    if (activationContext != INVALID_HANDLE_VALUE)
        active_ = ActivateActCtx(activationContext, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace ui::win32
