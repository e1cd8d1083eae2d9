#include "ui/win32/peers.h"

#include <windowsx.h>

#include <map>
#include <tuple>

#include "platform/win32/wide_text.h"
#include "ui/backend.h"
#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/paint_box.h"
#include "ui/tool_bar.h"
#include "ui/win32/dpi_awareness.h"
#include "ui/win32/hints.h"
#include "ui/win32/session.h"

namespace ui::win32 {

namespace {
constexpr const wchar_t* kPeerProperty = L"TarnwickPeer";
std::map<std::tuple<std::string, int, bool, int>, HFONT> fonts;
std::map<Color, HBRUSH> brushes;
}  // namespace

void releaseGdiCaches() {
    for (auto& [key, font] : fonts) DeleteObject(font);
    for (auto& [key, brush] : brushes) DeleteObject(brush);
    fonts.clear();
    brushes.clear();
}

std::wstring wide(const std::string& text) {
    return platform::toWide(text);
}

std::string windowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    return platform::fromWide(text.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

HFONT fontHandle(const Font& font) {
    auto key = std::make_tuple(font.face, font.size, font.bold, font.dpi);
    if (auto it = fonts.find(key); it != fonts.end()) return it->second;
    // Points at the window's DPI, as the system's own fonts are.
    int height = -MulDiv(font.size, boundedDpi(font.dpi), 72);
    HFONT handle =
        CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, wide(font.face).c_str());
    if (!handle) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts.emplace(key, handle);
    return handle;
}

HCURSOR cursorHandle(Cursor c) {
    LPCWSTR id = reinterpret_cast<LPCWSTR>(IDC_ARROW);
    switch (c) {
        case Cursor::Default:
        case Cursor::Arrow:
            break;
        case Cursor::Cross:
            id = reinterpret_cast<LPCWSTR>(IDC_CROSS);
            break;
        case Cursor::SizeNS:
            id = reinterpret_cast<LPCWSTR>(IDC_SIZENS);
            break;
        case Cursor::SizeWE:
            id = reinterpret_cast<LPCWSTR>(IDC_SIZEWE);
            break;
        case Cursor::SizeNWSE:
            id = reinterpret_cast<LPCWSTR>(IDC_SIZENWSE);
            break;
        case Cursor::SizeNESW:
            id = reinterpret_cast<LPCWSTR>(IDC_SIZENESW);
            break;
        case Cursor::HourGlass:
            id = reinterpret_cast<LPCWSTR>(IDC_WAIT);
            break;
        case Cursor::NoDrop:
            id = reinterpret_cast<LPCWSTR>(IDC_NO);
            break;
        case Cursor::Drag:
            id = reinterpret_cast<LPCWSTR>(IDC_SIZEALL);
            break;
        case Cursor::HandPoint:
            id = reinterpret_cast<LPCWSTR>(IDC_HAND);
            break;
    }
    return LoadCursorW(nullptr, id);
}

COLORREF colorRef(Color c) {
    return RGB((c >> 16) & 255, (c >> 8) & 255, c & 255);
}

std::optional<Color> backgroundOf(const Control& c) {
    for (const Control* p = &c; p; p = p->parent())
        if (p->color()) return p->color();
    return std::nullopt;
}

HBRUSH brushFor(Color c) {
    if (auto it = brushes.find(c); it != brushes.end()) return it->second;
    HBRUSH b = CreateSolidBrush(colorRef(c));
    brushes.emplace(c, b);
    return b;
}

int nextControlId() {
    // Clear of IDOK and IDCANCEL, which dialog navigation sends for Enter and Escape.
    static int id = 100;
    if (id >= 0x7FFF) id = 100;
    return id++;
}

WindowPeer* peerOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<WindowPeer*>(GetPropW(hwnd, kPeerProperty));
}

WindowPeer* peerOf(const Control& c) {
    return dynamic_cast<WindowPeer*>(c.peer());
}

WindowPeer::~WindowPeer() {
    *alive_ = false;
    if (!hwnd_) return;
    HWND h = hwnd_;
    RemovePropW(h, kPeerProperty);
    if (original_) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    hwnd_ = nullptr;
    DestroyWindow(h);
}

void WindowPeer::realize(HWND parent) {
    ActivationScope scope;
    // A window keeps the awareness of the thread that made it.
    DpiAwarenessScope dpiScope;
    hwnd_ = create(parent);
    if (!hwnd_) return;
    SetPropW(hwnd_, kPeerProperty, this);
    // Controls of the system's classes pass their messages through the peer first.
    if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&windowProc))
        subclass();
    applyFont();
    syncAll();
    realizeChildren();
    realized();
}

HWND WindowPeer::createControl(const wchar_t* cls, DWORD style, DWORD exStyle, HWND parent) {
    RECT r = placement();
    HWND h = CreateWindowExW(exStyle, cls, wide(control_.text()).c_str(), style | WS_CHILD, r.left,
                             r.top, r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId())),
                             instance(), nullptr);
    return h;
}

void WindowPeer::subclass() {
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc)));
}

void WindowPeer::applyFont() {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle(control_.font())), FALSE);
}

void WindowPeer::changed(Control&, Property what) {
    if (!hwnd_) return;
    if (fromUser_) {
        pending_.insert(what);
        return;
    }
    sync(what);
}

void WindowPeer::syncAll() {
    for (Property p : {Property::Bounds, Property::Enabled, Property::Visible}) sync(p);
}

void WindowPeer::sync(Property what) {
    switch (what) {
        case Property::Text:
            if (windowText(hwnd_) != control_.text())
                SetWindowTextW(hwnd_, wide(control_.text()).c_str());
            break;
        case Property::Bounds:
        case Property::Visible:
            if (what == Property::Bounds)
                place();
            else
                ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE);
            // A scroll box's bars follow what it holds at once.
            if (auto* box = dynamic_cast<ScrollBox*>(control_.parent()))
                if (WindowPeer* p = peerOf(*box)) p->changed(*box, Property::Children);
            break;
        case Property::Enabled:
            EnableWindow(hwnd_, control_.enabled());
            break;
        case Property::Children:
            realizeChildren();
            break;
        case Property::Color:
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case Property::Font:
            applyFont();
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        default:
            break;
    }
}

RECT WindowPeer::placement() const {
    Rect b = control_.bounds();
    int dx = 0, dy = 0;
    if (Container* p = control_.parent()) {
        Rect cr = p->clientRect();
        dx = cr.left;
        dy = cr.top;
        if (auto* box = dynamic_cast<ScrollBox*>(p)) {
            dx -= box->scrollPosition().x;
            dy -= box->scrollPosition().y;
        }
    }
    return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
}

void WindowPeer::place() {
    // A cool bar places the controls of its bands itself.
    if (dynamic_cast<CoolBar*>(control_.parent())) return;
    // The model's pixels are those of the window's DPI, whoever calls.
    DpiAwarenessScope dpiScope;
    RECT r = placement();
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPeer::realizeChildren() {
    auto* container = dynamic_cast<Container*>(&control_);
    if (!container) return;
    for (std::size_t i = 0; i < container->childCount(); ++i) {
        Control& child = container->child(i);
        if (!child.peer()) {
            auto peer = makePeer(child);
            if (!peer) continue;
            Peer* raw = peer.get();
            child.setPeer(std::move(peer));
            if (auto* w = dynamic_cast<WindowPeer*>(raw)) w->realize(childParent());
            continue;
        }
        if (WindowPeer* w = peerOf(child);
            w && w->hwnd() && GetParent(w->hwnd()) != childParent()) {
            SetParent(w->hwnd(), childParent());
            w->place();
        }
    }
}

LRESULT WindowPeer::passOn(UINT msg, WPARAM wp, LPARAM lp) {
    if (original_) return CallWindowProcW(original_, hwnd_, msg, wp, lp);
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool WindowPeer::mouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
    MouseEvent e;
    e.x = GET_X_LPARAM(lp);
    e.y = GET_Y_LPARAM(lp);
    if (wp & MK_SHIFT) e.shift |= ShiftKey;
    if (wp & MK_CONTROL) e.shift |= CtrlKey;
    if (GetKeyState(VK_MENU) < 0) e.shift |= AltKey;
    if (wp & MK_LBUTTON) e.shift |= LeftHeld;
    if (wp & MK_RBUTTON) e.shift |= RightHeld;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            e.button = MouseButton::Left;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            e.button = MouseButton::Right;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            e.button = MouseButton::Middle;
            break;
        default:
            break;
    }
    Control& c = control_;
    switch (msg) {
        case WM_MOUSEMOVE:
            return userInput([&] { c.userMouseMove(e); });
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return userInput([&] { c.userMouseUp(e); });
        default:
            return userInput([&] { c.userMouseDown(e); });
    }
}

bool WindowPeer::keyDown(WPARAM key) {
    Form* f = control_.form();
    if (!f) return true;
    KeyEvent e{static_cast<int>(key), ShiftNone};
    if (GetKeyState(VK_SHIFT) < 0) e.shift |= ShiftKey;
    if (GetKeyState(VK_CONTROL) < 0) e.shift |= CtrlKey;
    if (!userInput([&] { f->dispatchKey(e, &control_); })) return false;
    return e.key != 0;
}

LRESULT WindowPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (WindowPeer* from = peerOf(reinterpret_cast<HWND>(lp)); from && from != this) {
                from->command(HIWORD(wp), LOWORD(wp));
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<NMHDR*>(lp);
            if (WindowPeer* from = peerOf(n->hwndFrom); from && from != this) {
                LRESULT result = 0;
                if (from->notified(*n, result)) return result;
            }
            break;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (WindowPeer* from = peerOf(reinterpret_cast<HWND>(lp)); from && from != this) {
                from->scrolled(wp);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (WindowPeer* from = peerOf(reinterpret_cast<HWND>(lp))) {
                HDC dc = reinterpret_cast<HDC>(wp);
                SetTextColor(dc, GetSysColor([&] {
                                 switch (from->control().textColor()) {
                                     case SystemColor::GrayText:
                                         return COLOR_GRAYTEXT;
                                     case SystemColor::Window:
                                         return COLOR_WINDOW;
                                     case SystemColor::ButtonFace:
                                         return COLOR_BTNFACE;
                                     default:
                                         return COLOR_WINDOWTEXT;
                                 }
                             }()));
                std::optional<Color> bg = backgroundOf(from->control());
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(bg ? brushFor(*bg)
                                                    : GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETFOCUS:
            if (control_.canFocus() && !control_.focused()) {
                if (!userInput([&] { control_.setFocus(); })) return 0;
            }
            break;
        case WM_KEYDOWN:
            if (!keyDown(wp)) return 0;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                Cursor c = backend().screenCursor();
                if (c == Cursor::Default) c = control_.cursor();
                if (c != Cursor::Default) {
                    SetCursor(cursorHandle(c));
                    return TRUE;
                }
            }
            break;
        case WM_CONTEXTMENU:
            if (PopupMenu* menu = control_.popupMenu()) {
                Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (at.x == -1 && at.y == -1) at = control_.clientToScreen({0, 0});
                menu->popup(at);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            relayHint(*this, hwnd_, msg, wp, lp);
            if (!mouseMessage(msg, wp, lp)) return 0;
            break;
        case WM_NCDESTROY: {
            HWND h = hwnd_;
            WNDPROC proc = original_;
            RemovePropW(h, kPeerProperty);
            if (proc) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
            hwnd_ = nullptr;
            original_ = nullptr;
            return proc ? CallWindowProcW(proc, h, msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
        }
        default:
            break;
    }
    return passOn(msg, wp, lp);
}

LRESULT CALLBACK WindowPeer::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (WindowPeer* p = peerOf(hwnd)) return p->handle(msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (WindowPeer* p = peerOf(hwnd)) return p->handle(msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui::win32
