// The DG_IMAGE requests: image information, layout, palette and the two transfers.
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

// Not built yet: each request fails rather than describing or delivering an image that the
// source does not have.
TW_UINT16 handleImageInfo(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

TW_UINT16 handleImageLayout(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

TW_UINT16 handleImageMemoryTransfer(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

TW_UINT16 handleImageNativeTransfer(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

TW_UINT16 handlePalette8(DataSource& source, TW_UINT16, TW_MEMREF) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

}  // namespace tarnwick
