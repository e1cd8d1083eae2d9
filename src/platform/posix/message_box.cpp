#include "platform/message_box.h"

namespace platform {

// Nothing is on a screen here: every box takes its first button (OK or Yes), as pressing Enter
// would.
MessageResult showMessageBox(const std::string&, const std::string&, MessageIcon,
                             MessageButtons buttons, void*) {
    return buttons == MessageButtons::ok || buttons == MessageButtons::okCancel
               ? MessageResult::ok
               : MessageResult::yes;
}

}  // namespace platform
