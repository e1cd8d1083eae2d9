// Names of TWAIN codes for the harness's reports.
#pragma once

#include <optional>
#include <string>

#include "twain/records.h"

namespace harness {

std::string returnCodeName(TW_UINT16 rc);
std::string conditionCodeName(TW_UINT16 cc);
std::string pixelTypeName(int pixelType);
// The TWSS_ code of a page size named as in TWAIN without the prefix ("A4", "usletter").
std::optional<TW_UINT16> pageSizeCode(const std::string& name);

}  // namespace harness
