// The entry point's logic, kept apart from the exported symbol so tests can call it directly.
#pragma once

#include "twain/records.h"

namespace tarnwick {

TW_UINT16 dsEntry(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                  TW_MEMREF pData);

}  // namespace tarnwick
