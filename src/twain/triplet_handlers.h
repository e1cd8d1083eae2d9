// The handlers dispatch routes to, one per DG / DAT. They run after the triplet table has
// checked the message and the state, and after a data pointer the handler reads was checked.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;

using TripletHandler = TW_UINT16 (*)(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);

TW_UINT16 handleIdentity(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleUserInterface(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleEvent(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleStatus(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleTransferGroup(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleEntryPoint(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleCustomData(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleCapability(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handlePendingTransfers(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleSetupMemoryTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageInfo(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageLayout(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageMemoryTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handleImageNativeTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);
TW_UINT16 handlePalette8(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);

}  // namespace tarnwick
