// The triplets of file and memory-file transfers.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;

TW_UINT16 handleSetupFileTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageFileTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageMemoryFileTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);

}  // namespace tarnwick
