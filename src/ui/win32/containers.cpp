#include "ui/win32/containers.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/dialog_message.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/paint_box.h"
#include "ui/win32/dpi_awareness.h"
#include "ui/win32/session.h"

namespace ui::win32 {

// ---- panels and group boxes

HWND PanelPeer::create(HWND parent) {
    return createControl(kPanelClass, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                         parent);
}

void PanelPeer::sync(Property what) {
    if (what == Property::Text) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        return;
    }
    WindowPeer::sync(what);
}

void PanelPeer::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dynamic_cast<Panel*>(&control_) && !control_.text().empty()) {
        // A panel with a caption is a group box.
        HGDIOBJ old = SelectObject(dc, fontHandle(control_.font()));
        std::wstring text = wide(control_.text());
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT r;
        GetClientRect(hwnd_, &r);
        r.top += size.cy / 2;
        DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        std::optional<Color> bg = backgroundOf(control_);
        SetBkColor(dc, bg ? colorRef(*bg) : GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(dc, control_.scaled(8), 0, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT PanelPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd_, &r);
            std::optional<Color> bg = backgroundOf(control_);
            FillRect(reinterpret_cast<HDC>(wp), &r,
                     bg ? brushFor(*bg) : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_PAINT:
            paint();
            return 0;
        default:
            return WindowPeer::handle(msg, wp, lp);
    }
}

// ---- forms

FormPeer::FormPeer(Form& form) : PanelPeer(form), form_(form) {
    acquireSession();
}

FormPeer::~FormPeer() {
    *alive_ = false;
    if (hwnd_) {
        HWND h = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
    releaseSession();
}

RECT FormPeer::placement() const {
    Rect b = form_.bounds();
    RECT r{b.left, b.top, b.right, b.bottom};
    adjustWindowRect(r, style_, exStyle_, form_.dpi());
    // The model places client areas: the frame above and left of one at the edge of the work
    // area moves in with it, so that the title bar can be reached.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        OffsetRect(&r, std::max(0L, info.rcWork.left - r.left),
                   std::max(0L, info.rcWork.top - r.top));
    return r;
}

void formStyles(const Form& form, DWORD& style, DWORD& exStyle) {
    style = exStyle = 0;
    switch (form.borderStyle()) {
        case BorderStyle::Sizeable:
            style = WS_OVERLAPPEDWINDOW;
            break;
        case BorderStyle::Dialog:
            style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            exStyle = WS_EX_DLGMODALFRAME;
            break;
        case BorderStyle::ToolWindow:
            style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
            exStyle = WS_EX_TOOLWINDOW;
            break;
        case BorderStyle::None:
            style = WS_POPUP;
            break;
    }
    style |= WS_CLIPCHILDREN;
    exStyle |= WS_EX_CONTROLPARENT;
    if (form.topMost()) exStyle |= WS_EX_TOPMOST;
}

HWND FormPeer::create(HWND) {
    formStyles(form_, style_, exStyle_);
    // Owned by the window that is active in this thread (the scanning window for its dialogs),
    // so it stays above it.
    HWND owner = GetActiveWindow();
    RECT r = placement();
    HWND h =
        CreateWindowExW(exStyle_, kFormClass, wide(form_.caption()).c_str(), style_, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, instance(), nullptr);
    // Laid out for the DPI a new window was expected to get; the one it got wins. The children's
    // windows come after this.
    if (h) form_.setDpi(windowDpi(h));
    return h;
}

void FormPeer::dpiChanged(int dpi, const RECT& suggested) {
    userInput([&] {
        form_.setDpi(dpi);
        RECT frame{0, 0, 0, 0};
        adjustWindowRect(frame, style_, exStyle_, form_.dpi());
        form_.setBounds(suggested.left - frame.left, suggested.top - frame.top,
                        (suggested.right - suggested.left) - (frame.right - frame.left),
                        (suggested.bottom - suggested.top) - (frame.bottom - frame.top));
    });
}

void FormPeer::applyFonts(Control& c) {
    if (WindowPeer* p = peerOf(c); p && p != this) p->changed(c, Property::Font);
    if (auto* container = dynamic_cast<Container*>(&c))
        for (std::size_t i = 0; i < container->childCount(); ++i) applyFonts(container->child(i));
}

void FormPeer::syncAll() {
    place();
    EnableWindow(hwnd_, form_.enabled());
}

void FormPeer::focusActive() {
    Control* active = form_.activeControl();
    WindowPeer* p = active ? peerOf(*active) : nullptr;
    if (!p || !p->hwnd()) return;
    HWND focus = GetFocus();
    if (focus == p->hwnd() || IsChild(p->hwnd(), focus)) return;
    if (GetActiveWindow() == hwnd_) SetFocus(p->hwnd());
}

void FormPeer::sync(Property what) {
    switch (what) {
        case Property::Bounds: {
            RECT want = placement(), have;
            GetWindowRect(hwnd_, &have);
            if (!EqualRect(&want, &have)) place();
            break;
        }
        case Property::Visible:
            if (form_.visible()) {
                ShowWindow(hwnd_, SW_SHOW);
                SetForegroundWindow(hwnd_);
            } else {
                ShowWindow(hwnd_, SW_HIDE);
            }
            break;
        case Property::Style:
            SetWindowPos(hwnd_, form_.topMost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case Property::Focus:
            focusActive();
            break;
        case Property::Font:
            applyFonts(form_);
            place();
            break;
        case Property::Text:
            WindowPeer::sync(what);
            break;
        default:
            PanelPeer::sync(what);
            break;
    }
}

LRESULT FormPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            userInput([&] { form_.close(); });
            return 0;
        case WM_DPICHANGED:
            dpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SIZE:
            if (wp != SIZE_MINIMIZED)
                userInput(
                    [&] { form_.setBounds(form_.left(), form_.top(), LOWORD(lp), HIWORD(lp)); });
            return 0;
        case WM_MOVE:
            userInput([&] {
                form_.setBounds(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)),
                                form_.width(), form_.height());
            });
            return 0;
        case WM_MOVING:
            if (form_.onMoving) {
                // The rectangle the handler leaves is where the window goes, whether it took the
                // move over (a page snapping onto its home) or only changed it (a page hanging
                // from the pointer).
                RECT& r = *reinterpret_cast<RECT*>(lp);
                Rect proposed{r.left, r.top, r.right, r.bottom};
                bool handled = false;
                if (!userInput([&] { handled = form_.onMoving(proposed); })) return TRUE;
                r = RECT{proposed.left, proposed.top, proposed.right, proposed.bottom};
                return handled ? TRUE : FALSE;
            }
            break;
        case WM_EXITSIZEMOVE:
            if (form_.onMoveEnded) userInput([&] { form_.onMoveEnded(); });
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE) {
                platform::setDialogWindow(hwnd_);
                if (form_.activeControl()) {
                    focusActive();
                    return 0;
                }
                if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) {
                    SetFocus(first);
                    return 0;
                }
            }
            break;
        case DM_GETDEFID:
            return 0;
        case WM_NOTIFY:
            if (hints_.notified(lp)) return 0;
            break;
        case WM_COMMAND:
            // Dialog navigation sends these for Enter and Escape; the form's key rules decide.
            // A control of ours sending the same ids (a tool bar's first buttons) is no key.
            if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) &&
                !peerOf(reinterpret_cast<HWND>(lp))) {
                KeyEvent e{LOWORD(wp) == IDOK ? key::Enter : key::Escape, ShiftNone};
                userInput([&] { form_.dispatchKey(e, form_.activeControl()); });
                return 0;
            }
            break;
        case WM_DESTROY:
            platform::setDialogWindow(nullptr);
            break;
        default:
            break;
    }
    return PanelPeer::handle(msg, wp, lp);
}

// ---- scroll boxes

ScrollBoxPeer::ScrollBoxPeer(ScrollBox& box) : PanelPeer(box), box_(box) {}

HWND ScrollBoxPeer::create(HWND parent) {
    return createControl(kPanelClass, WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP,
                         WS_EX_CONTROLPARENT, parent);
}

void ScrollBoxPeer::updateBars() {
    int right = 0, bottom = 0;
    for (std::size_t i = 0; i < box_.childCount(); ++i) {
        Control& c = box_.child(i);
        if (!c.visible()) continue;
        right = std::max(right, c.bounds().right);
        bottom = std::max(bottom, c.bounds().bottom);
    }
    // Whether a bar is needed is decided on the area without bars: bars left from a larger
    // content would otherwise keep themselves.
    RECT client;
    GetClientRect(hwnd_, &client);
    const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    const int barWidth = systemMetric(SM_CXVSCROLL, box_.dpi()),
              barHeight = systemMetric(SM_CYHSCROLL, box_.dpi());
    if (style & WS_VSCROLL) client.right += barWidth;
    if (style & WS_HSCROLL) client.bottom += barHeight;
    bool across = right > client.right, down = bottom > client.bottom;
    if (down && !across) across = right > client.right - barWidth;
    if (across && !down) down = bottom > client.bottom - barHeight;
    if (across) client.bottom -= barHeight;
    if (down) client.right -= barWidth;
    // Shrunk content comes back into view.
    Point at = box_.scrollPosition();
    Point kept{std::clamp(at.x, 0, std::max(0, right - static_cast<int>(client.right))),
               std::clamp(at.y, 0, std::max(0, bottom - static_cast<int>(client.bottom)))};
    if (kept.x != at.x || kept.y != at.y) userInput([&] { box_.setScrollPosition(kept); });
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    si.nMax = std::max(0, right - 1);
    si.nPage = static_cast<UINT>(client.right);
    si.nPos = box_.scrollPosition().x;
    SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
    si.nMax = std::max(0, bottom - 1);
    si.nPage = static_cast<UINT>(client.bottom);
    si.nPos = box_.scrollPosition().y;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void ScrollBoxPeer::sync(Property what) {
    PanelPeer::sync(what);
    if (what == Property::Position)
        for (std::size_t i = 0; i < box_.childCount(); ++i)
            if (WindowPeer* p = peerOf(box_.child(i)); p && p->hwnd()) p->place();
    if (what == Property::Position || what == Property::Bounds || what == Property::Children)
        updateBars();
}

LRESULT ScrollBoxPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && lp == 0) {
        int bar = msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd_, bar, &si);
        int pos = si.nPos, page = static_cast<int>(si.nPage);
        switch (LOWORD(wp)) {
            case SB_LINEUP:
                pos -= box_.scaled(16);
                break;
            case SB_LINEDOWN:
                pos += box_.scaled(16);
                break;
            case SB_PAGEUP:
                pos -= page;
                break;
            case SB_PAGEDOWN:
                pos += page;
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                pos = si.nTrackPos;
                break;
            default:
                return 0;
        }
        pos = std::clamp(pos, 0, std::max(0, si.nMax + 1 - page));
        Point p = box_.scrollPosition();
        (bar == SB_HORZ ? p.x : p.y) = pos;
        userInput([&] { box_.setScrollPosition(p); });
        return 0;
    }
    if (msg == WM_SIZE) updateBars();
    return PanelPeer::handle(msg, wp, lp);
}

// ---- paint boxes

namespace gp = Gdiplus::DllExports;

PaintBoxPeer::PaintBoxPeer(PaintBox& box) : WindowPeer(box), box_(box) {
    box_.canvas().setListener(this);
}

// The canvas goes with the paint box before the peer does, so the listener needs no removal.
PaintBoxPeer::~PaintBoxPeer() {
    freeBuffer();
}

HWND PaintBoxPeer::create(HWND parent) {
    return createControl(kPaintClass, 0, 0, parent);
}

void PaintBoxPeer::freeBuffer() {
    if (memory_) {
        SelectObject(memory_, previous_);
        DeleteDC(memory_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    memory_ = nullptr;
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool PaintBoxPeer::ensureBuffer() {
    const Surface& s = box_.surface();
    if (memory_ && width_ == s.width() && height_ == s.height()) return false;
    freeBuffer();
    if (s.width() <= 0 || s.height() <= 0) return true;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = s.width();
    info.bmiHeader.biHeight = -s.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_) return true;
    memory_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(memory_, bitmap_);
    width_ = s.width();
    height_ = s.height();
    // The surface's 0xAARRGGBB pixels are the DIB's blue, green, red, alpha bytes.
    PixelView v = s.view();
    std::memcpy(bits_, v.data, v.rowBytes * static_cast<std::size_t>(v.height));
    return true;
}

void PaintBoxPeer::drawn(const CanvasOp& op, const PixelView* source) {
    if (!hwnd_ || ensureBuffer() || !memory_) {
        if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    GdiFlush();
    Gdiplus::GpGraphics* g = nullptr;
    if (gp::GdipCreateFromHDC(memory_, &g) != Gdiplus::Ok) return;
    gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeNone);
    const Rect& r = op.rect;
    switch (op.kind) {
        case CanvasOpKind::Blit:
        case CanvasOpKind::StretchBlit: {
            if (!source || source->width <= 0 || source->height <= 0) break;
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(source->width) *
                                              static_cast<std::size_t>(source->height));
            for (int y = 0; y < source->height; ++y)
                for (int x = 0; x < source->width; ++x)
                    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(source->width) +
                           static_cast<std::size_t>(x)] = source->pixel(x, y) | 0xFF000000u;
            Gdiplus::GpBitmap* bitmap = nullptr;
            if (gp::GdipCreateBitmapFromScan0(
                    source->width, source->height, source->width * 4, PixelFormat32bppRGB,
                    reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
                break;
            gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeNearestNeighbor);
            gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
            gp::GdipDrawImageRectI(g, bitmap, r.left, r.top, r.width(), r.height());
            gp::GdipDisposeImage(bitmap);
            break;
        }
        case CanvasOpKind::FillRect: {
            Gdiplus::GpSolidFill* brush = nullptr;
            if (gp::GdipCreateSolidFill(op.color, &brush) != Gdiplus::Ok) break;
            gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
            gp::GdipFillRectangleI(g, brush, r.left, r.top, r.width(), r.height());
            gp::GdipDeleteBrush(brush);
            break;
        }
        case CanvasOpKind::Outline: {
            int w = std::max(op.pen.width, 1);
            if (r.width() < w || r.height() < w) break;
            Gdiplus::GpPen* pen = nullptr;
            if (gp::GdipCreatePen1(op.pen.color, static_cast<float>(w), Gdiplus::UnitPixel, &pen) !=
                Gdiplus::Ok)
                break;
            if (!op.pen.dashes.empty()) {
                gp::GdipSetPenDashArray(pen, op.pen.dashes.data(),
                                        static_cast<INT>(op.pen.dashes.size()));
                gp::GdipSetPenDashOffset(pen, op.pen.dashOffset);
            }
            // The pen's middle runs (w - 1) / 2 inside the edges, so the line stays inside.
            float inset = static_cast<float>(w - 1) / 2.0f;
            gp::GdipDrawRectangle(
                g, pen, static_cast<float>(r.left) + inset, static_cast<float>(r.top) + inset,
                static_cast<float>(r.width() - w), static_cast<float>(r.height() - w));
            gp::GdipDeletePen(pen);
            break;
        }
        case CanvasOpKind::Line: {
            Gdiplus::GpPen* pen = nullptr;
            if (gp::GdipCreatePen1(op.color, 1.0f, Gdiplus::UnitPixel, &pen) != Gdiplus::Ok) break;
            gp::GdipDrawLineI(g, pen, r.left, r.top, r.right, r.bottom);
            gp::GdipDeletePen(pen);
            break;
        }
        case CanvasOpKind::InvertOutline:
            break;
    }
    gp::GdipDeleteGraphics(g);
    if (op.kind == CanvasOpKind::InvertOutline) {
        // GDI+ has no raster operations: the rubber band inverts with GDI.
        int x0 = std::min(r.left, r.right), x1 = std::max(r.left, r.right);
        int y0 = std::min(r.top, r.bottom), y1 = std::max(r.top, r.bottom);
        int w = std::max(op.pen.width, 1);
        if (x1 - x0 <= 2 * w || y1 - y0 <= 2 * w) {
            PatBlt(memory_, x0, y0, x1 - x0, y1 - y0, DSTINVERT);
        } else {
            PatBlt(memory_, x0, y0, x1 - x0, w, DSTINVERT);
            PatBlt(memory_, x0, y1 - w, x1 - x0, w, DSTINVERT);
            PatBlt(memory_, x0, y0 + w, w, y1 - y0 - 2 * w, DSTINVERT);
            PatBlt(memory_, x1 - w, y0 + w, w, y1 - y0 - 2 * w, DSTINVERT);
        }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void PaintBoxPeer::sync(Property what) {
    if (what == Property::State) {
        ensureBuffer();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    WindowPeer::sync(what);
}

LRESULT PaintBoxPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            ensureBuffer();
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            if (memory_) BitBlt(dc, 0, 0, width_, height_, memory_, 0, 0, SRCCOPY);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        default:
            return WindowPeer::handle(msg, wp, lp);
    }
}

}  // namespace ui::win32
