#include "platform/dialog_message.h"

#include <windows.h>

namespace platform {

namespace {
HWND dialogWindow = nullptr;
}

void setDialogWindow(void* windowHandle) {
    dialogWindow = static_cast<HWND>(windowHandle);
}

bool offerDialogMessage(void* message) {
    if (!dialogWindow || !message) return false;
    return IsDialogMessageA(dialogWindow, static_cast<MSG*>(message)) != FALSE;
}

void wakeDialogWindow() {
    if (dialogWindow) PostMessageA(dialogWindow, WM_NULL, 0, 0);
}

}  // namespace platform
