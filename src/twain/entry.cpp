#include "twain/entry.h"

namespace tarnwick {

TW_UINT16 dsEntry(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF) {
    return TWRC_FAILURE;
}

}  // namespace tarnwick
