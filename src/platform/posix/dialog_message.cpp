#include "platform/dialog_message.h"

namespace platform {

// The headless toolkit has no native windows, so no message is ever the source's.
void setDialogWindow(void*) {}

bool offerDialogMessage(void*) {
    return false;
}

void wakeDialogWindow() {}

}  // namespace platform
