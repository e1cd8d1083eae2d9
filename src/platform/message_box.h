// Modal message boxes: the one service every box of the system is built on.
#pragma once

#include <string>

namespace platform {

enum class MessageIcon { error, warning, information, question };
enum class MessageButtons { ok, okCancel, yesNo, yesNoCancel };
enum class MessageResult { ok, cancel, yes, no };

// Shows the box modally (owned by the window handle `owner`, or by the calling thread's
// windows when null) and returns the button that closed it. Closing a box without choosing
// answers cancel where there is a Cancel button, ok for a lone OK button, and no otherwise.
MessageResult showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons, void* owner = nullptr);

}  // namespace platform
