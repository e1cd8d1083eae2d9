#include "event_pump.h"

#include "own_dsm.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace harness {

#ifdef _WIN32
void pumpUntilNotified(SourceModule& source) {
    MSG msg;
    while (receivedNotifications().empty()) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) return;
        TW_EVENT event{&msg, MSG_NULL};
        if (source.call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
#else
void pumpUntilNotified(SourceModule&) {}
#endif

}  // namespace harness
