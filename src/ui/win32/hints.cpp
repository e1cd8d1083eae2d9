#include "ui/win32/hints.h"

#include <commctrl.h>

#include "ui/form.h"
#include "ui/tool_bar.h"
#include "ui/win32/containers.h"
#include "ui/win32/session.h"

namespace ui::win32 {

void HintWindow::relay(HWND form, HWND control, UINT msg, WPARAM wp, LPARAM lp) {
    if (!window_) {
        window_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance(), nullptr);
        if (!window_) return;
        // Long descriptions wrap.
        SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    if (!SendMessageW(window_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) {
        tool.uFlags = TTF_IDISHWND;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    MSG m{control, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

bool HintWindow::notified(LPARAM lp) {
    auto& info = *reinterpret_cast<NMTTDISPINFOW*>(lp);
    if (!window_ || info.hdr.hwndFrom != window_ ||
        info.hdr.code != static_cast<UINT>(TTN_GETDISPINFOW))
        return false;
    // The window of a control, or the edit inside a combo box.
    HWND control = reinterpret_cast<HWND>(info.hdr.idFrom);
    WindowPeer* peer = peerOf(control);
    if (!peer) peer = peerOf(GetParent(control));
    text_ = peer ? wide(peer->control().hint()) : std::wstring();
    info.lpszText = text_.data();
    return true;
}

void relayHint(WindowPeer& peer, HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    // Tool buttons have the tool bar's own tips.
    const Control& c = peer.control();
    if (c.hint().empty() || dynamic_cast<const ToolBar*>(&c)) return;
    Form* form = peer.control().form();
    auto* formPeer = form ? dynamic_cast<FormPeer*>(peerOf(*form)) : nullptr;
    if (formPeer && formPeer->hwnd())
        formPeer->hints().relay(formPeer->hwnd(), window, msg, wp, lp);
}

}  // namespace ui::win32
