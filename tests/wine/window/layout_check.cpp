#include "layout_check.h"

#include <commctrl.h>

#include <algorithm>
#include <sstream>

namespace tarnwick::wine {

namespace {

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring windowText(HWND h) {
    wchar_t buffer[512]{};
    GetWindowTextW(h, buffer, 512);
    return buffer;
}

std::wstring className(HWND h) {
    wchar_t buffer[64]{};
    GetClassNameW(h, buffer, 64);
    return buffer;
}

// The text's size in the control's own font, on one line or wrapped at `width`.
SIZE measure(HWND h, const std::wstring& text, bool wrap, int width) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &r,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return {r.right - r.left, r.bottom - r.top};
}

class Checker {
  public:
    void check(HWND h) {
        if (!IsWindowVisible(h)) return;
        const std::wstring kind = className(h);
        if (kind == WC_STATICW) checkLabel(h);
        if (kind == WC_BUTTONW) checkButton(h);
        if (kind == WC_COMBOBOXW) checkCombo(h);
        if (kind == TOOLBARCLASSNAMEW) checkToolBar(h);
    }
    std::vector<std::string> faults;

  private:
    void fault(HWND h, const std::wstring& text, SIZE need, const RECT& have) {
        std::ostringstream line;
        line << narrow(className(h)) << " \"" << narrow(text) << "\" needs " << need.cx << "x"
             << need.cy << ", has " << have.right - have.left << "x" << have.bottom - have.top;
        faults.push_back(line.str());
    }

    void checkLabel(HWND h) {
        const LONG style = GetWindowLongW(h, GWL_STYLE);
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER && type != SS_LEFTNOWORDWRAP)
            return;
        const std::wstring text = windowText(h);
        if (text.empty()) return;
        RECT client;
        GetClientRect(h, &client);
        const bool wrap = type != SS_LEFTNOWORDWRAP && !(style & SS_CENTERIMAGE);
        const SIZE need = measure(h, text, wrap, client.right);
        if (need.cx > client.right || need.cy > client.bottom) fault(h, text, need, client);
    }

    void checkButton(HWND h) {
        const LONG style = GetWindowLongW(h, GWL_STYLE);
        const LONG type = style & BS_TYPEMASK;
        if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || (style & BS_BITMAP)) return;
        const std::wstring text = windowText(h);
        RECT client;
        GetClientRect(h, &client);
        SIZE need = measure(h, text, false, 0);
        need.cx += 8;  // the button's edges
        if (!text.empty() && need.cx > client.right) fault(h, text, need, client);
    }

    // The entry shown in the field; every entry in the opened list.
    void checkCombo(HWND h) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (!GetComboBoxInfo(h, &info)) return;
        const RECT& field = info.rcItem;
        const std::wstring shown = windowText(h);
        const SIZE need = measure(h, shown, false, 0);
        if (need.cx > field.right - field.left) fault(h, shown, need, field);
        RECT box;
        GetWindowRect(h, &box);
        // Unset, the list is as wide as the box.
        const LONG dropped = static_cast<LONG>(SendMessageW(h, CB_GETDROPPEDWIDTH, 0, 0));
        const RECT list{0, 0, std::max(dropped, box.right - box.left) - 4, 0};
        const int count = static_cast<int>(SendMessageW(h, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count && i < 100; ++i) {
            wchar_t item[256]{};
            if (SendMessageW(h, CB_GETLBTEXTLEN, i, 0) >= 256) continue;
            SendMessageW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            const SIZE itemNeed = measure(h, item, false, 0);
            if (itemNeed.cx > list.right) fault(h, item, itemNeed, list);
        }
    }

    void checkToolBar(HWND bar) {
        RECT client;
        GetClientRect(bar, &client);
        const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button{};
            SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            if (button.fsStyle & BTNS_SEP) continue;
            RECT r;
            SendMessageW(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
            const std::wstring name = L"button " + std::to_wstring(button.idCommand);
            if (r.right > client.right) fault(bar, name + L" beyond the bar", {r.right, 0}, client);
            for (HWND child = GetWindow(bar, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (!IsWindowVisible(child) || className(child) == L"tooltips_class32") continue;
                RECT placed, overlap;
                GetWindowRect(child, &placed);
                MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&placed), 2);
                if (IntersectRect(&overlap, &placed, &r))
                    fault(bar, name + L" under " + className(child),
                          {overlap.right - overlap.left, 0}, r);
            }
        }
    }
};

BOOL CALLBACK visit(HWND h, LPARAM checker) {
    reinterpret_cast<Checker*>(checker)->check(h);
    return TRUE;
}

}  // namespace

std::vector<std::string> cutTexts(HWND window) {
    Checker checker;
    EnumChildWindows(window, visit, reinterpret_cast<LPARAM>(&checker));
    return checker.faults;
}

}  // namespace tarnwick::wine
