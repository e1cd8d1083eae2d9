// The capabilities of a batch: the document feeder and duplex from the device's "source" option
// (and its paper sensor, "page-loaded", where it has one), and the number of images.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;
class Option;

// Whether the options serve CAP_FEEDERENABLED, CAP_DUPLEX, CAP_DUPLEXENABLED, CAP_AUTOFEED,
// CAP_FEEDERLOADED or CAP_PAPERDETECTABLE: all of them need a feeder entry in the source list,
// CAP_DUPLEXENABLED a duplex one.
bool servesFeederCapability(const Option* sourceOption, TW_UINT16 cap);
// Answers one of them (the capability is null for MSG_RESET). Enabling selects the first
// feeder (or duplex) entry, disabling the flatbed (or, for duplex, the simplex feeder), through
// the option's own operations.
TW_UINT16 feederCapability(DataSource& source, Option* sourceOption, Option* paperSensor,
                           TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability);

// CAP_XFERCOUNT: -1 (no limit) or a count from 1; the batch ends after that many images.
TW_UINT16 transferCountCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

}  // namespace tarnwick
