// The harness is its own TWAIN 2 Data Source Manager: the source's notifications arrive here.
#pragma once

#include <vector>

#include "twain/records.h"

extern "C" TARNWICK_SCAN_EXPORT TW_UINT16 TW_CALLINFO DSM_Entry(TW_IDENTITY* pOrigin,
                                                                TW_IDENTITY* pDest, TW_UINT32 DG,
                                                                TW_UINT16 DAT, TW_UINT16 MSG,
                                                                TW_MEMREF pData);

namespace harness {

// The harness's identity as an application, with the Id a manager would assign.
TW_IDENTITY& applicationIdentity();

// What the harness offers the source by DAT_ENTRYPOINT, as a TWAIN 2 manager does: its own
// DSM_Entry and the platform's movable memory.
const TW_ENTRYPOINT& entryPoint();

// MSG_XFERREADY, MSG_CLOSEDSREQ and MSG_CLOSEDSOK as the source sent them, oldest first.
const std::vector<TW_UINT16>& receivedNotifications();
void clearNotifications();

}  // namespace harness
