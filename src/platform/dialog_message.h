// Keyboard navigation of the source's window inside the application's message loop (DAT_EVENT).
#pragma once

namespace platform {

// The window whose dialog keys are handled; the ui layer registers its main window (null: none).
void setDialogWindow(void* windowHandle);
// Offers the application's message (a Windows MSG) to the registered window. True when the
// window consumed it; never on platforms without native windows, or for a null message.
bool offerDialogMessage(void* message);
// Posts a no-op message to the registered window, so that an application waiting for messages
// passes one on (DAT_EVENT) and hears a notification at once; nothing without a window.
void wakeDialogWindow();

}  // namespace platform
