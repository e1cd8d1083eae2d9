// Peers of the simple controls: buttons, labels, edits, combo boxes, track and progress bars and
// the status bar.
#include "ui/win32/controls.h"

#include <algorithm>

#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/track_bar.h"
#include "ui/win32/hints.h"
#include "ui/win32/session.h"

namespace ui::win32 {

// ---- push buttons, check boxes, radio buttons

ButtonPeer::~ButtonPeer() {
    if (glyph_) DeleteObject(glyph_);
}

HWND ButtonPeer::create(HWND parent) {
    DWORD style = WS_TABSTOP;
    if (auto* check = dynamic_cast<CheckBox*>(&control_))
        style |= check->allowGrayed() ? BS_3STATE : BS_CHECKBOX;
    else if (dynamic_cast<RadioButton*>(&control_))
        style |= BS_RADIOBUTTON;
    else if (auto* b = dynamic_cast<Button*>(&control_)) {
        style |= b->isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (b->flat() && b->glyph()) style |= BS_BITMAP | BS_FLAT;
    }
    return createControl(WC_BUTTONW, style, 0, parent);
}

void ButtonPeer::syncAll() {
    WindowPeer::syncAll();
    sync(Property::State);
    sync(Property::Style);
}

void ButtonPeer::sync(Property what) {
    switch (what) {
        case Property::State: {
            WPARAM state = BST_UNCHECKED;
            if (auto* check = dynamic_cast<CheckBox*>(&control_)) {
                if (check->state() == CheckState::Checked) state = BST_CHECKED;
                if (check->state() == CheckState::Grayed) state = BST_INDETERMINATE;
            } else if (auto* radio = dynamic_cast<RadioButton*>(&control_)) {
                if (radio->checked()) state = BST_CHECKED;
            } else {
                break;
            }
            if (static_cast<WPARAM>(SendMessageW(hwnd_, BM_GETCHECK, 0, 0)) != state)
                SendMessageW(hwnd_, BM_SETCHECK, state, 0);
            break;
        }
        case Property::Style:
            if (auto* b = dynamic_cast<Button*>(&control_); b && b->flat() && b->glyph()) {
                HBITMAP old = glyph_;
                glyph_ = glyphBitmap(*b->glyph(), b->transparentColor());
                SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph_));
                if (old) DeleteObject(old);
            }
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

void ButtonPeer::command(WORD code, WORD) {
    if (code == BN_CLICKED) userInput([&] { control_.userClick(); });
}

HBITMAP glyphBitmap(const Surface& s, std::optional<Color> transparent) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = s.width();
    info.bmiHeader.biHeight = -s.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    Color faceColor = rgb(GetRValue(face), GetGValue(face), GetBValue(face));
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            Color c = s.pixel(x, y);
            if (transparent && (c & 0xFFFFFFu) == (*transparent & 0xFFFFFFu)) c = faceColor;
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width()) +
                static_cast<std::size_t>(x)] = c;
        }
    return bitmap;
}

// ---- labels

HWND LabelPeer::create(HWND parent) {
    auto& l = static_cast<Label&>(control_);
    DWORD style = SS_NOTIFY | SS_NOPREFIX;
    switch (l.alignment()) {
        case TextAlign::Left:
            style |= l.wordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
            break;
        case TextAlign::Right:
            style |= SS_RIGHT;
            break;
        case TextAlign::Center:
            style |= SS_CENTER;
            break;
    }
    // Centring puts the text on one line: a wrapping label would be cut instead.
    if (l.layout() == TextLayout::Center && !l.wordWrap()) style |= SS_CENTERIMAGE;
    return createControl(WC_STATICW, style, 0, parent);
}

void LabelPeer::command(WORD code, WORD) {
    if (code == STN_CLICKED) userInput([&] { control_.userClick(); });
}

// ---- edits

HWND EditPeer::create(HWND parent) {
    auto& e = static_cast<Edit&>(control_);
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (e.input() == EditInput::Digits) style |= ES_NUMBER;
    if (e.passwordChar()) style |= ES_PASSWORD;
    HWND h = createControl(WC_EDITW, style, WS_EX_CLIENTEDGE, parent);
    if (!h) return h;
    if (e.passwordChar())
        SendMessageW(h, EM_SETPASSWORDCHAR, static_cast<WPARAM>(e.passwordChar()), 0);
    if (e.readOnly()) SendMessageW(h, EM_SETREADONLY, TRUE, 0);
    if (e.maxLength() > 0) SendMessageW(h, EM_LIMITTEXT, static_cast<WPARAM>(e.maxLength()), 0);
    return h;
}

void EditPeer::sync(Property what) {
    if (what == Property::Text) {
        if (windowText(hwnd_) == control_.text()) return;
        writing_ = true;
        SetWindowTextW(hwnd_, wide(control_.text()).c_str());
        writing_ = false;
        return;
    }
    WindowPeer::sync(what);
}

void EditPeer::command(WORD code, WORD) {
    if (code == EN_CHANGE && !writing_) {
        auto& e = static_cast<Edit&>(control_);
        std::string text = windowText(hwnd_);
        userInput([&] {
            // Text the widget refuses is replaced by the widget's own.
            if (!e.userReplaceText(text)) pending_.insert(Property::Text);
        });
    }
}

// ---- combo boxes

namespace {

constexpr const wchar_t* kEditProcProperty = L"TarnwickComboEdit";

// The edit of a combo box with free text has the focus while the user types; its keys go through
// the form's key rules as the combo box's own (Escape stops a read wherever the focus is).
LRESULT CALLBACK comboEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(h, kEditProcProperty));
    WindowPeer* combo = peerOf(GetParent(h));
    if (combo && msg == WM_KEYDOWN && !combo->keyDown(wp)) return 0;
    if (combo && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) relayHint(*combo, h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        RemovePropW(h, kEditProcProperty);
        if (original) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return original ? CallWindowProcW(original, h, msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

HWND ComboPeer::create(HWND parent) {
    auto& c = static_cast<ComboBox&>(control_);
    DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                  (c.style() == ComboStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    return createControl(WC_COMBOBOXW, style, 0, parent);
}

RECT ComboPeer::placement() const {
    RECT r = WindowPeer::placement();
    r.bottom += kListHeight;  // a combo box's window includes its opened list
    return r;
}

void ComboPeer::syncAll() {
    WindowPeer::syncAll();
    sync(Property::Items);
    sync(Property::Style);
}

void ComboPeer::sync(Property what) {
    auto& c = static_cast<ComboBox&>(control_);
    switch (what) {
        case Property::Items:
            SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : c.items())
                SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
            sync(Property::Selection);
            break;
        case Property::Selection:
        case Property::Text:
            if (SendMessageW(hwnd_, CB_GETCURSEL, 0, 0) != c.itemIndex())
                SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(c.itemIndex()), 0);
            if (c.style() == ComboStyle::DropDown && windowText(hwnd_) != c.text())
                SetWindowTextW(hwnd_, wide(c.text()).c_str());
            break;
        case Property::Style:
            SendMessageW(hwnd_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(c.droppedWidth()), 0);
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

void ComboPeer::realized() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(hwnd_, &info) || !info.hwndItem || info.hwndItem == hwnd_) return;
    auto original = GetWindowLongPtrW(info.hwndItem, GWLP_WNDPROC);
    SetPropW(info.hwndItem, kEditProcProperty, reinterpret_cast<HANDLE>(original));
    SetWindowLongPtrW(info.hwndItem, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&comboEditProc));
}

void ComboPeer::command(WORD code, WORD) {
    auto& c = static_cast<ComboBox&>(control_);
    switch (code) {
        case CBN_SELCHANGE: {
            int index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
            userInput([&] { c.userSelect(index); });
            break;
        }
        case CBN_EDITCHANGE: {
            std::string text = windowText(hwnd_);
            userInput([&] { c.userTypeText(text); });
            break;
        }
        case CBN_SETFOCUS:
            if (!c.focused()) userInput([&] { c.setFocus(); });
            break;
        default:
            break;
    }
}

// ---- track bars and progress bars

HWND TrackBarPeer::create(HWND parent) {
    auto& t = static_cast<TrackBar&>(control_);
    DWORD style =
        WS_TABSTOP | TBS_HORZ | (t.tickStyle() == TickStyle::Auto ? TBS_AUTOTICKS : TBS_NOTICKS);
    return createControl(TRACKBAR_CLASSW, style, 0, parent);
}

void TrackBarPeer::syncAll() {
    WindowPeer::syncAll();
    sync(Property::Range);
}

void TrackBarPeer::sync(Property what) {
    auto& t = static_cast<TrackBar&>(control_);
    switch (what) {
        case Property::Range:
            SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, t.min());
            SendMessageW(hwnd_, TBM_SETRANGEMAX, TRUE, t.max());
            sync(Property::Position);
            break;
        case Property::Position:
            if (SendMessageW(hwnd_, TBM_GETPOS, 0, 0) != t.position())
                SendMessageW(hwnd_, TBM_SETPOS, TRUE, t.position());
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

void TrackBarPeer::scrolled(WPARAM wp) {
    auto& t = static_cast<TrackBar&>(control_);
    int position = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
    if (!userInput([&] { t.userMoveTo(position); })) return;
    // Keys end their move when released; the mouse's release is reported as such.
    if (LOWORD(wp) == TB_ENDTRACK && !quiet_) userInput([&] { t.userEndMove(); });
}

LRESULT TrackBarPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    auto& t = static_cast<TrackBar&>(control_);
    if (msg == WM_MOUSEWHEEL) {
        // Not every system's bar turns with the wheel: a notch forward is a line back (as the
        // Up key), and each turn ends a move.
        wheel_ += GET_WHEEL_DELTA_WPARAM(wp);
        const int notches = wheel_ / WHEEL_DELTA;
        wheel_ %= WHEEL_DELTA;
        const int line = std::max(static_cast<int>(SendMessageW(hwnd_, TBM_GETLINESIZE, 0, 0)), 1);
        if (notches != 0 && userInput([&] { t.userMoveTo(t.position() - notches * line); }))
            userInput([&] { t.userEndMove(); });
        return 0;
    }
    if (msg != WM_LBUTTONUP) return WindowPeer::handle(msg, wp, lp);
    std::shared_ptr<bool> alive = alive_;
    quiet_ = true;
    LRESULT result = WindowPeer::handle(msg, wp, lp);
    if (*alive) quiet_ = false;
    return result;
}

HWND ProgressPeer::create(HWND parent) {
    return createControl(PROGRESS_CLASSW, 0, 0, parent);
}

void ProgressPeer::syncAll() {
    WindowPeer::syncAll();
    sync(Property::Position);
}

void ProgressPeer::sync(Property what) {
    auto& p = static_cast<ProgressBar&>(control_);
    if (what == Property::Position || what == Property::Range) {
        SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(p.min()), p.max());
        SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(p.position()), 0);
        return;
    }
    WindowPeer::sync(what);
}

// ---- the status bar

HWND StatusBarPeer::create(HWND parent) {
    HWND h = createControl(STATUSCLASSNAMEW, WS_CLIPCHILDREN | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
                           parent);
    if (h) SendMessageW(h, SB_SIMPLE, TRUE, 0);
    return h;
}

void StatusBarPeer::syncAll() {
    WindowPeer::syncAll();
    sync(Property::Text);
}

void StatusBarPeer::sync(Property what) {
    if (what == Property::Text) {
        SendMessageW(hwnd_, SB_SETTEXTW, SB_SIMPLEID,
                     reinterpret_cast<LPARAM>(wide(control_.text()).c_str()));
        return;
    }
    WindowPeer::sync(what);
}

}  // namespace ui::win32
