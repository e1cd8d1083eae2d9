// The one code export of the module.
#include "twain/entry.h"

extern "C" TARNWICK_EXPORT TW_UINT16 TW_CALLINFO DS_Entry(TW_IDENTITY* pOrigin, TW_UINT32 DG,
                                                          TW_UINT16 DAT, TW_UINT16 MSG,
                                                          TW_MEMREF pData) {
    return tarnwick::dsEntry(pOrigin, DG, DAT, MSG, pData);
}
