// DAT_PENDINGXFERS and DAT_SETUPMEMXFER.
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

// Image transfers are not built yet: the requests fail instead of reporting images that do
// not exist.
TW_UINT16 handlePendingTransfers(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

TW_UINT16 handleSetupMemoryTransfer(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

}  // namespace tarnwick
