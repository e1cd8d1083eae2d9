// What TWAIN's condition codes tell an application of a scan that gave no image.
#pragma once

#include "sane/wire_types.h"
#include "twain/records.h"

namespace tarnwick {

// The condition code of a scan that failed with this SANE status. An empty feeder is
// TWCC_NOMEDIA here: after the batch's first page it is its normal end, which is no failure.
TW_UINT16 conditionOfScanFailure(Word status);

// The scan ended without a failure the application must hear of: the user stopped it, or the
// feeder ran empty after the batch's first page.
bool endsBatchQuietly(Word status);

class DataSource;
// A transfer in state 6 when no image can be had: a feeder that ran empty or a stop by the user
// is cancelled, and the application ends it; a device's failure is its condition code.
TW_UINT16 answerWithoutImage(DataSource& source);

}  // namespace tarnwick
