#include "ui/win32/backend.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "ui/tool_bar.h"
#include "ui/win32/containers.h"
#include "ui/win32/dpi_awareness.h"
#include "ui/win32/peers.h"
#include "ui/win32/session.h"

namespace ui {

Backend& defaultBackend() {
    static win32::Win32Backend native;
    return native;
}

}  // namespace ui

namespace ui::win32 {

namespace {

UINT_PTR wakeTimer = 0;

void CALLBACK wakeProc(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, wakeTimer);
    wakeTimer = 0;
    if (auto* b = dynamic_cast<Win32Backend*>(&backend())) b->runPosted();
}

// The module carries the pictures at 16 and 32 pixels; other sides are drawn.
const wchar_t* stripName(int side) {
    return side == 32 ? L"TOOLBAR32" : side == 16 ? L"TOOLBAR16" : nullptr;
}

HBITMAP loadStrip(int side) {
    const wchar_t* name = stripName(side);
    return name ? static_cast<HBITMAP>(
                      LoadImageW(instance(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                : nullptr;
}

// The drawings side by side in one bitmap, as the module's strips are.
HBITMAP drawnStrip(const ImageList& images) {
    const int side = images.side, count = static_cast<int>(images.images.size());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = side * count;
    bi.bmiHeader.biHeight = -side;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < count; ++i) {
        const Surface& s = images.images[static_cast<std::size_t>(i)];
        for (int y = 0; y < side && y < s.height(); ++y)
            for (int x = 0; x < side && x < s.width(); ++x)
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(side * count) +
                       static_cast<std::size_t>(i * side + x)] = s.pixel(x, y) & 0xFFFFFFu;
    }
    return bitmap;
}

BOOL CALLBACK collectEnabled(HWND hwnd, LPARAM list) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

}  // namespace

void wakeForPostedWork() {
    if (!wakeTimer) wakeTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, wakeProc);
}

// The thread's active window: one of the source's forms, or the host's window while none is.
HWND ownerWindow() {
    return GetActiveWindow();
}

Win32Backend::~Win32Backend() {
    for (auto& [id, timer] : timers_) KillTimer(nullptr, id);
    timers_.clear();
    releaseGdiCaches();
}

ModalResult Win32Backend::runModal(Form& form) {
    HWND window = realizeForm(form).hwnd();
    if (!window) return Backend::runModal(form);
    // Like a modal dialog: the thread's other windows (the host's included) wait.
    std::vector<HWND> others;
    EnumThreadWindows(GetCurrentThreadId(), collectEnabled, reinterpret_cast<LPARAM>(&others));
    std::erase(others, window);
    for (HWND h : others) EnableWindow(h, FALSE);
    while (form.modalResult() == ModalResult::None && IsWindow(window)) {
        if (pendingCount() > 0) {
            runPosted();
            continue;
        }
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The application is quitting: leave the loop and let its own loop see the quit.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    for (HWND h : others)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    if (form.modalResult() == ModalResult::None) form.setModalResult(ModalResult::Cancel);
    return form.modalResult();
}

ModalResult Win32Backend::messageBox(const std::string& text, const std::string& caption,
                                     BoxKind kind, BoxButtons buttons) {
    ActivationScope scope;
    return platformBox(text, caption, kind, buttons, ownerWindow());
}

// The input box is a form of the toolkit itself.
bool Win32Backend::inputQuery(const std::string& caption, const std::string& prompt,
                              std::string& value) {
    Form box;
    box.setName("InputQuery");
    box.setCaption(caption);
    box.setBorderStyle(BorderStyle::Dialog);
    Label& label = box.add<Label>();
    label.setAutoSize(true);
    label.setText(prompt);
    const auto px = [&box](int v) { return box.scaled(v); };
    label.setLeft(px(8));
    label.setTop(px(8));
    int w = std::max(px(260), label.width() + px(16));
    Edit& edit = box.add<Edit>();
    edit.setText(value);
    edit.setBounds(px(8), label.bounds().bottom + px(6), w - px(16), px(21));
    Button& ok = box.add<Button>();
    ok.setText("OK");
    ok.setModalResult(ModalResult::Ok);
    ok.setDefault(true);
    Button& cancel = box.add<Button>();
    cancel.setText("Cancel");
    cancel.setModalResult(ModalResult::Cancel);
    cancel.setCancel(true);
    int top = edit.bounds().bottom + px(12);
    cancel.setBounds(w - px(8 + 75), top, px(75), px(25));
    ok.setBounds(w - px(16 + 150), top, px(75), px(25));
    box.setClientSize(w, top + px(25 + 8));
    box.centerOnScreen();
    box.onShow = [&edit] { edit.setFocus(); };
    if (box.showModal() != ModalResult::Ok) return false;
    value = edit.text();
    return true;
}

void Win32Backend::popup(PopupMenu& menu, Point at) {
    HWND owner = ownerWindow();
    if (!owner) return;
    HMENU m = CreatePopupMenu();
    if (!m) return;
    for (std::size_t i = 0; i < menu.count(); ++i) {
        MenuItem& item = menu.item(i);
        if (!item.visible()) continue;
        if (item.separator()) {
            AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags =
            MF_STRING | (item.checked() ? MF_CHECKED : 0) | (item.enabled() ? 0 : MF_GRAYED);
        AppendMenuW(m, flags, i + 1, wide(item.caption()).c_str());
    }
    int chosen = static_cast<int>(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                 at.x, at.y, 0, owner, nullptr));
    DestroyMenu(m);
    if (chosen <= 0) return;
    // The choice arrives after the call, as the platform's menu command would.
    std::size_t index = static_cast<std::size_t>(chosen - 1);
    post([&menu, index] {
        if (index < menu.count()) menu.item(index).userChoose();
    });
    wakeForPostedWork();
}

void Win32Backend::processPendingMessages() {
    MSG msg;
    // Bounded, so that a window that keeps posting cannot hold the caller here.
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    runPosted();
}

void CALLBACK Win32Backend::timerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto* self = dynamic_cast<Win32Backend*>(&backend());
    if (!self) return;
    auto it = self->timers_.find(id);
    if (it != self->timers_.end()) it->second->fire();
}

void Win32Backend::timerChanged(Timer& timer) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second == &timer) {
            KillTimer(nullptr, it->first);
            timers_.erase(it);
            break;
        }
    if (!timer.enabled() || timer.interval() <= 0) return;
    UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(timer.interval()), timerProc);
    if (id) timers_[id] = &timer;
}

void Win32Backend::formShown(Form& form, bool shown) {
    if (!shown) return;
    WindowPeer& peer = realizeForm(form);
    peer.changed(form, Property::Visible);
}

int Win32Backend::width(const Font& font, const std::string& text) {
    if (text.empty()) return 0;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fontHandle(font));
    std::wstring w = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

int Win32Backend::lineHeight(const Font& font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fontHandle(font));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

NumberLocale Win32Backend::numberLocale() {
    NumberLocale locale;
    auto separator = [](LCTYPE type, char fallback) {
        wchar_t text[8] = {};
        if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 8) < 2) return fallback;
        if (text[0] > 0 && text[0] < 128) return static_cast<char>(text[0]);
        // Grouping with a (non-breaking or narrow) space.
        if (text[0] == 0xA0 || text[0] == 0x202F) return ' ';
        return fallback;
    };
    locale.decimal = separator(LOCALE_SDECIMAL, '.');
    locale.thousands = separator(LOCALE_STHOUSAND, ',');
    if (locale.thousands == locale.decimal) locale.thousands = locale.decimal == ',' ? '.' : ',';
    return locale;
}

int Win32Backend::defaultDpi() {
    // A new window appears where the host's active window is, else on the primary monitor.
    DpiAwarenessScope scope;
    if (!scope.active()) return systemDpi();
    HWND owner = ownerWindow();
    return monitorDpi(owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

// Places and sizes in the pixels of the source's windows, whatever the host's awareness.
Rect Win32Backend::screen() {
    DpiAwarenessScope scope;
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {r.left, r.top, r.right, r.bottom};
}

Rect Win32Backend::workAreaAt(Point p) {
    DpiAwarenessScope scope;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint({p.x, p.y}, MONITOR_DEFAULTTONEAREST), &info))
        return screen();
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

Rect Win32Backend::frameOf(const Form& form) {
    DWORD style = 0, exStyle = 0;
    formStyles(form, style, exStyle);
    RECT r{0, 0, 0, 0};
    adjustWindowRect(r, style, exStyle, form.dpi());
    return {-r.left, -r.top, r.right, r.bottom};
}

Point Win32Backend::cursorPos() {
    DpiAwarenessScope scope;
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void Win32Backend::setScreenCursor(Cursor cursor) {
    Backend::setScreenCursor(cursor);
    SetCursor(cursorHandle(cursor));
}

void Win32Backend::setCapture(Control* control) {
    Backend::setCapture(control);
    WindowPeer* p = control ? peerOf(*control) : nullptr;
    if (p && p->hwnd())
        SetCapture(p->hwnd());
    else if (!control)
        ReleaseCapture();
}

const ImageList& Win32Backend::toolImages(int side) {
    if (!stripName(side)) return Backend::toolImages(side);
    ImageList& list = images_[side == 32 ? 1 : 0];
    if (!list.images.empty()) return list;
    HBITMAP bitmap = loadStrip(side);
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmHeight != side) {
        if (bitmap) DeleteObject(bitmap);
        return Backend::toolImages(side);
    }
    int count = info.bmWidth / side;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) *
                                      static_cast<std::size_t>(side));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -side;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    int rows =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(side), pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    if (rows != side) return Backend::toolImages(side);
    list.side = side;
    for (int i = 0; i < count; ++i) {
        Surface s(side, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                s.setPixel(
                    x, y,
                    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(info.bmWidth) +
                           static_cast<std::size_t>(i * side + x)] |
                        0xFF000000u);
        list.images.push_back(std::move(s));
    }
    return list;
}

HIMAGELIST toolImageList(int side) {
    HIMAGELIST list = ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, kToolImageCount, 2);
    if (!list) return nullptr;
    HBITMAP bitmap = loadStrip(side);
    if (!bitmap) bitmap = drawnStrip(backend().toolImages(side));
    if (bitmap) {
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    return list;
}

}  // namespace ui::win32
