#include "platform/message_box.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

namespace {

UINT iconFlag(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::error:
            return MB_ICONERROR;
        case MessageIcon::warning:
            return MB_ICONWARNING;
        case MessageIcon::information:
            return MB_ICONINFORMATION;
        case MessageIcon::question:
            return MB_ICONQUESTION;
    }
    return 0;
}

UINT buttonsFlag(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::ok:
            return MB_OK;
        case MessageButtons::okCancel:
            return MB_OKCANCEL;
        case MessageButtons::yesNo:
            return MB_YESNO;
        case MessageButtons::yesNoCancel:
            return MB_YESNOCANCEL;
    }
    return MB_OK;
}

MessageResult closedWithout(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::ok:
            return MessageResult::ok;
        case MessageButtons::yesNo:
            return MessageResult::no;
        default:
            return MessageResult::cancel;
    }
}

}  // namespace

MessageResult showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons, void* owner) {
    // Without an owner the box still disables the thread's windows, the host's included.
    UINT flags = iconFlag(icon) | buttonsFlag(buttons) | (owner ? 0 : MB_TASKMODAL);
    int pressed =
        MessageBoxW(static_cast<HWND>(owner), toWide(text).c_str(), toWide(caption).c_str(), flags);
    switch (pressed) {
        case IDOK:
            return MessageResult::ok;
        case IDYES:
            return MessageResult::yes;
        case IDNO:
            return MessageResult::no;
        case IDCANCEL:
            return MessageResult::cancel;
        default:
            return closedWithout(buttons);
    }
}

}  // namespace platform
