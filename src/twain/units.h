// ICAP_UNITS: the unit of frames, page sizes and physical dimensions the application reads and
// sends (inches, centimetres or pixels at the scan resolution; resolutions stay in dots per
// inch).
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;

// A length in inches in the unit, and back; `dpi` counts pixels.
double inchesToUnits(double inches, TW_UINT16 units, double dpi);
double unitsToInches(double value, TW_UINT16 units, double dpi);

// DAT_CAPABILITY for ICAP_UNITS; MSG_RESET answers the unit it reset to.
TW_UINT16 unitsCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

}  // namespace tarnwick
