#include "ui/win32/bars.h"

#include <algorithm>

#include "base/scoped_value.h"
#include "ui/backend.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/page_control.h"
#include "ui/paint_box.h"
#include "ui/tool_bar.h"
#include "ui/track_bar.h"
#include "ui/win32/backend.h"
#include "ui/win32/controls.h"

namespace ui::win32 {

// ---- page controls

PageControlPeer::PageControlPeer(PageControl& pages) : WindowPeer(pages), pages_(pages) {}

HWND PageControlPeer::create(HWND parent) {
    DWORD style = WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (pages_.flatButtons()) style |= TCS_BUTTONS | TCS_FLATBUTTONS;
    return createControl(WC_TABCONTROLW, style, WS_EX_CONTROLPARENT, parent);
}

void PageControlPeer::syncAll() {
    WindowPeer::syncAll();
    updateTabs();
}

RECT PageControlPeer::pageArea() const {
    RECT r;
    GetClientRect(hwnd_, &r);
    SendMessageW(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void PageControlPeer::placeSheets() {
    for (int i = 0; i < pages_.pageCount(); ++i)
        if (WindowPeer* p = peerOf(pages_.page(i)); p && p->hwnd()) p->place();
}

void PageControlPeer::updateTabs() {
    SendMessageW(hwnd_, TCM_DELETEALLITEMS, 0, 0);
    int tab = 0, selected = -1;
    for (int i = 0; i < pages_.pageCount(); ++i) {
        TabSheet& page = pages_.page(i);
        if (!page.tabVisible()) continue;
        std::wstring text = wide(page.text());
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = text.data();
        item.lParam = i;
        SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
        if (&page == pages_.activePage()) selected = tab;
        ++tab;
    }
    SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
    placeSheets();
}

void PageControlPeer::sync(Property what) {
    switch (what) {
        case Property::Children:
            WindowPeer::sync(what);
            updateTabs();
            break;
        case Property::Selection:
        case Property::Style:
            updateTabs();
            break;
        case Property::Bounds:
            WindowPeer::sync(what);
            placeSheets();
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

bool PageControlPeer::notified(NMHDR& n, LRESULT& result) {
    if (n.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
    int tab = static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (tab < 0 || !SendMessageW(hwnd_, TCM_GETITEMW, static_cast<WPARAM>(tab),
                                 reinterpret_cast<LPARAM>(&item)))
        return false;
    int index = static_cast<int>(item.lParam);
    userInput([&] { pages_.userSelectPage(index); });
    result = 0;
    return true;
}

RECT TabSheetPeer::placement() const {
    if (PageControl* pc = static_cast<TabSheet&>(control_).pageControl())
        if (auto* p = dynamic_cast<PageControlPeer*>(peerOf(*pc)); p && p->hwnd())
            return p->pageArea();
    return WindowPeer::placement();
}

void TabSheetPeer::sync(Property what) {
    if (what == Property::Text || what == Property::Style) {
        if (PageControl* pc = static_cast<TabSheet&>(control_).pageControl())
            if (auto* p = dynamic_cast<PageControlPeer*>(peerOf(*pc)); p && p->hwnd())
                p->updateTabs();
        return;
    }
    PanelPeer::sync(what);
}

// ---- tool bars

ToolBarPeer::ToolBarPeer(ToolBar& bar) : WindowPeer(bar), bar_(bar) {}

ToolBarPeer::~ToolBarPeer() {
    if (hwnd_) SendMessageW(hwnd_, TB_SETIMAGELIST, 0, 0);
    if (images_) ImageList_Destroy(images_);
}

HWND ToolBarPeer::create(HWND parent) {
    HWND h = createControl(TOOLBARCLASSNAMEW,
                           WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                               CCS_NORESIZE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_TRANSPARENT,
                           0, parent);
    if (!h) return h;
    SendMessageW(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(h, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    return h;
}

void ToolBarPeer::syncAll() {
    WindowPeer::syncAll();
    rebuild();
}

ToolButton* ToolBarPeer::button(int id) const {
    std::size_t index = static_cast<std::size_t>(id - 1);
    if (id < 1 || index >= bar_.childCount()) return nullptr;
    return dynamic_cast<ToolButton*>(&bar_.child(index));
}

void ToolBarPeer::rebuild() {
    if (HIMAGELIST old = images_) {
        SendMessageW(hwnd_, TB_SETIMAGELIST, 0, 0);
        ImageList_Destroy(old);
    }
    images_ = toolImageList(toolImageSide(bar_.images(), bar_.dpi()));
    SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    while (SendMessageW(hwnd_, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageW(hwnd_, TB_DELETEBUTTON, 0, 0);
    std::vector<TBBUTTON> buttons;
    std::vector<std::wstring> texts;
    texts.reserve(bar_.childCount());
    for (std::size_t i = 0; i < bar_.childCount(); ++i) {
        Control& c = bar_.child(i);
        if (!c.visible()) continue;
        TBBUTTON b{};
        b.idCommand = static_cast<int>(i) + 1;
        b.iString = -1;
        auto* tb = dynamic_cast<ToolButton*>(&c);
        if (!tb || tb->style() == ToolButtonStyle::Separator ||
            tb->style() == ToolButtonStyle::Divider) {
            // Other controls sit over a separator of their width.
            b.fsStyle = BTNS_SEP;
            b.iBitmap = c.width();
        } else {
            b.iBitmap = tb->imageIndex() >= 0 ? toolImageIndex(bar_.imageSet(), tb->imageIndex())
                                              : I_IMAGENONE;
            b.fsStyle = tb->style() == ToolButtonStyle::Check      ? BTNS_CHECK
                        : tb->style() == ToolButtonStyle::DropDown ? BTNS_DROPDOWN
                                                                   : BTNS_BUTTON;
            b.fsState = (tb->enabled() ? TBSTATE_ENABLED : 0) | (tb->down() ? TBSTATE_CHECKED : 0);
            if (tb->imageIndex() < 0 && !tb->hint().empty()) {
                texts.push_back(wide(tb->hint()));
                b.iString = reinterpret_cast<INT_PTR>(texts.back().c_str());
            }
        }
        buttons.push_back(b);
    }
    setTabStyle(std::any_of(buttons.begin(), buttons.end(),
                            [](const TBBUTTON& b) { return !(b.fsStyle & BTNS_SEP); }));
    SendMessageW(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(0, bar_.buttonHeight()));
    if (!buttons.empty())
        SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons.size(),
                     reinterpret_cast<LPARAM>(buttons.data()));
    // Each button as wide as the model's, so that the controls between them sit where the
    // model placed them.
    for (const TBBUTTON& b : buttons) {
        if (b.fsStyle & BTNS_SEP) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(bar_.child(static_cast<std::size_t>(b.idCommand - 1)).width());
        SendMessageW(hwnd_, TB_SETBUTTONINFOW, static_cast<WPARAM>(b.idCommand),
                     reinterpret_cast<LPARAM>(&info));
    }
}

void ToolBarPeer::setTabStyle(bool buttons) {
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, buttons ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      buttons ? exStyle & ~WS_EX_CONTROLPARENT : exStyle | WS_EX_CONTROLPARENT);
}

void ToolBarPeer::tab(bool back) {
    HWND next = back ? nullptr : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (!next || !IsChild(hwnd_, next))
        next = GetNextDlgTabItem(GetAncestor(hwnd_, GA_ROOT), hwnd_, back);
    if (next) SetFocus(next);
}

LRESULT ToolBarPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB;
        case WM_SETFOCUS:
            // The first button is the one Enter presses until the arrows pick another.
            if (SendMessageW(hwnd_, TB_GETHOTITEM, 0, 0) < 0)
                SendMessageW(hwnd_, TB_SETHOTITEM, 0, 0);
            break;
        case WM_KEYDOWN:
            if (wp == VK_TAB) {
                tab(GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            if (wp == VK_RETURN || wp == VK_SPACE) {
                TBBUTTON b{};
                int hot = static_cast<int>(SendMessageW(hwnd_, TB_GETHOTITEM, 0, 0));
                if (hot >= 0 && SendMessageW(hwnd_, TB_GETBUTTON, static_cast<WPARAM>(hot),
                                             reinterpret_cast<LPARAM>(&b)))
                    if (ToolButton* tb = button(b.idCommand)) {
                        userInput([&] { tb->userClick(); });
                        return 0;
                    }
            }
            break;
        default:
            break;
    }
    return WindowPeer::handle(msg, wp, lp);
}

void ToolBarPeer::updateStates() {
    for (std::size_t i = 0; i < bar_.childCount(); ++i)
        if (auto* tb = dynamic_cast<ToolButton*>(&bar_.child(i))) {
            LPARAM state =
                (tb->enabled() ? TBSTATE_ENABLED : 0) | (tb->down() ? TBSTATE_CHECKED : 0);
            SendMessageW(hwnd_, TB_SETSTATE, i + 1, MAKELPARAM(state, 0));
        }
}

void ToolBarPeer::sync(Property what) {
    switch (what) {
        case Property::State:
            updateStates();
            break;
        case Property::Style:
            rebuild();
            break;
        case Property::Children:
            WindowPeer::sync(what);
            rebuild();
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

void ToolBarPeer::command(WORD, WORD id) {
    if (ToolButton* b = button(id)) userInput([&] { b->userClick(); });
}

bool ToolBarPeer::notified(NMHDR& n, LRESULT& result) {
    if (n.code == static_cast<UINT>(TBN_DROPDOWN)) {
        auto& tb = reinterpret_cast<NMTOOLBARW&>(n);
        if (ToolButton* b = button(tb.iItem)) userInput([&] { b->userDropDown(); });
        result = TBDDRET_DEFAULT;
        return true;
    }
    if (n.code == static_cast<UINT>(TBN_GETINFOTIPW)) {
        auto& tip = reinterpret_cast<NMTBGETINFOTIPW&>(n);
        if (ToolButton* b = button(tip.iItem); b && tip.pszText && tip.cchTextMax > 0)
            lstrcpynW(tip.pszText, wide(b->hint()).c_str(), tip.cchTextMax);
        result = 0;
        return true;
    }
    return false;
}

void ToolButtonPeer::changed(Control& c, Property what) {
    if (!c.parent()) return;
    if (WindowPeer* bar = peerOf(*c.parent()))
        bar->changed(*c.parent(), what == Property::State || what == Property::Enabled
                                      ? Property::State
                                      : Property::Style);
}

// ---- cool bars

CoolBarPeer::CoolBarPeer(CoolBar& bar) : WindowPeer(bar), bar_(bar) {}

HWND CoolBarPeer::create(HWND parent) {
    return createControl(REBARCLASSNAMEW,
                         WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT | RBS_BANDBORDERS |
                             CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                         WS_EX_CONTROLPARENT, parent);
}

void CoolBarPeer::updateBands() {
    // The bar's new height below reaches the form, whose resize sets the band widths again.
    if (updating_) return;
    const base::ScopedValue guard(updating_, true);
    while (SendMessageW(hwnd_, RB_GETBANDCOUNT, 0, 0) > 0) SendMessageW(hwnd_, RB_DELETEBAND, 0, 0);
    for (std::size_t i = 0; i < bar_.bandCount(); ++i) {
        CoolBand& band = bar_.band(i);
        WindowPeer* child = band.control ? peerOf(*band.control) : nullptr;
        if (!child || !child->hwnd()) continue;
        std::wstring text = wide(band.text);
        REBARBANDINFOW info{};
        info.cbSize = REBARBANDINFOW_V6_SIZE;
        info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_TEXT;
        info.fStyle = RBBS_CHILDEDGE | (band.breakLine ? RBBS_BREAK : 0) |
                      (band.visible && band.control->visible() ? 0 : RBBS_HIDDEN);
        info.hwndChild = child->hwnd();
        info.cxMinChild = static_cast<UINT>(CoolBar::leastWidth(band));
        info.cyMinChild = static_cast<UINT>(band.control->height());
        info.cx = static_cast<UINT>(band.width);
        info.lpText = text.data();
        SendMessageW(hwnd_, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&info));
        // Wine's rebar shows the child of a band it is given even when the band is hidden; the
        // control would then lie over the first band.
        if (info.fStyle & RBBS_HIDDEN) ShowWindow(child->hwnd(), SW_HIDE);
    }
    int height = static_cast<int>(SendMessageW(hwnd_, RB_GETBARHEIGHT, 0, 0));
    if (height > 0 && height != control_.height()) userInput([&] { control_.setHeight(height); });
    takePlaces();
}

void CoolBarPeer::takePlaces() {
    for (std::size_t i = 0; i < bar_.bandCount(); ++i) {
        Control* c = bar_.band(i).control;
        WindowPeer* child = c ? peerOf(*c) : nullptr;
        if (!child || !child->hwnd() || !c->visible()) continue;
        RECT r;
        GetWindowRect(child->hwnd(), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        if (r.left == c->left() && r.top == c->top() && r.right - r.left == c->width()) continue;
        userInput([&] { bar_.placeBand(*c, r.left, r.top, r.right - r.left); });
    }
}

bool CoolBarPeer::notified(NMHDR& n, LRESULT& result) {
    // The user moved a band, or the rows changed.
    if (n.code == static_cast<UINT>(RBN_LAYOUTCHANGED) ||
        n.code == static_cast<UINT>(RBN_HEIGHTCHANGE)) {
        takePlaces();
        result = 0;
        return true;
    }
    return false;
}

LRESULT CoolBarPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = WindowPeer::handle(msg, wp, lp);
    // A new size lays the bands out again.
    if (msg == WM_SIZE && hwnd_) takePlaces();
    return result;
}

void CoolBarPeer::sync(Property what) {
    switch (what) {
        case Property::Children:
            WindowPeer::sync(what);
            updateBands();
            break;
        case Property::Style:
        case Property::Text:
            updateBands();
            break;
        default:
            WindowPeer::sync(what);
            break;
    }
}

// ---- which peer a widget gets

std::unique_ptr<Peer> makePeer(Control& c) {
    if (auto* f = dynamic_cast<Form*>(&c)) return std::make_unique<FormPeer>(*f);
    if (dynamic_cast<TabSheet*>(&c)) return std::make_unique<TabSheetPeer>(c);
    if (auto* p = dynamic_cast<PageControl*>(&c)) return std::make_unique<PageControlPeer>(*p);
    if (auto* b = dynamic_cast<CoolBar*>(&c)) return std::make_unique<CoolBarPeer>(*b);
    if (auto* b = dynamic_cast<ToolBar*>(&c)) return std::make_unique<ToolBarPeer>(*b);
    if (dynamic_cast<StatusBar*>(&c)) return std::make_unique<StatusBarPeer>(c);
    if (auto* s = dynamic_cast<ScrollBox*>(&c)) return std::make_unique<ScrollBoxPeer>(*s);
    if (dynamic_cast<Container*>(&c)) return std::make_unique<PanelPeer>(c);
    if (dynamic_cast<ToolButton*>(&c)) return std::make_unique<ToolButtonPeer>();
    if (dynamic_cast<CheckBox*>(&c) || dynamic_cast<RadioButton*>(&c) || dynamic_cast<Button*>(&c))
        return std::make_unique<ButtonPeer>(c);
    if (dynamic_cast<Label*>(&c)) return std::make_unique<LabelPeer>(c);
    if (dynamic_cast<Edit*>(&c)) return std::make_unique<EditPeer>(c);
    if (dynamic_cast<ComboBox*>(&c)) return std::make_unique<ComboPeer>(c);
    if (dynamic_cast<TrackBar*>(&c)) return std::make_unique<TrackBarPeer>(c);
    if (dynamic_cast<ProgressBar*>(&c)) return std::make_unique<ProgressPeer>(c);
    if (auto* p = dynamic_cast<PaintBox*>(&c)) return std::make_unique<PaintBoxPeer>(*p);
    return nullptr;
}

WindowPeer& realizeForm(Form& form) {
    if (WindowPeer* existing = peerOf(form)) return *existing;
    auto peer = std::make_unique<FormPeer>(form);
    FormPeer& ref = *peer;
    form.setPeer(std::move(peer));
    ref.realize(nullptr);
    return ref;
}

}  // namespace ui::win32
