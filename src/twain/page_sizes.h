// ICAP_SUPPORTEDSIZES: the standard page sizes that fit the device's bed. Choosing one sets the
// frame of the next scans at the bed's top left corner.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;

// Served while the device has a scan area.
bool servesPageSizes(DataSource& source);
// DAT_CAPABILITY for ICAP_SUPPORTEDSIZES; MSG_RESET answers TWSS_NONE and frames the whole bed.
TW_UINT16 supportedSizesCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

}  // namespace tarnwick
