// DAT_CAPABILITY.
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

// Capability negotiation is not built yet: every request is refused rather than answered
// with values the source cannot stand behind.
TW_UINT16 handleCapability(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

}  // namespace tarnwick
