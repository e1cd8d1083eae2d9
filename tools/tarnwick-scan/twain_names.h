// Names of TWAIN codes for the harness's reports.
#pragma once

#include <string>

#include "twain/records.h"

namespace harness {

std::string returnCodeName(TW_UINT16 rc);
std::string conditionCodeName(TW_UINT16 cc);
std::string pixelTypeName(int pixelType);

}  // namespace harness
