// The harness is its own Data Source Manager: the source's notifications arrive here.
#pragma once

#include <vector>

#include "twain/records.h"

namespace harness {

// The harness's identity as an application, with the Id a manager would assign.
TW_IDENTITY& applicationIdentity();

// MSG_XFERREADY and MSG_CLOSEDSREQ as the source sent them, oldest first.
const std::vector<TW_UINT16>& receivedNotifications();
void clearNotifications();

}  // namespace harness
