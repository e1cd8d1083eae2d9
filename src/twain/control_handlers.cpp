// The small DG_CONTROL requests: DAT_EVENT, DAT_STATUS, DAT_XFERGROUP, DAT_CUSTOMDSDATA.
#include <cstring>

#include "platform/dialog_message.h"
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

TW_UINT16 handleEvent(DataSource&, TW_UINT16, TW_MEMREF pData) {
    auto& event = *static_cast<TW_EVENT*>(pData);
    if (!platform::offerDialogMessage(event.pEvent)) return TWRC_NOTDSEVENT;
    event.TWMessage = MSG_NULL;
    return TWRC_DSEVENT;
}

TW_UINT16 handleStatus(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& status = *static_cast<TW_STATUS*>(pData);
    status.ConditionCode = source.conditionCode;
    status.Reserved = 0;
    source.conditionCode = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 handleTransferGroup(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    // The application's TW_UINT32 need not be aligned.
    if (MSG == MSG_GET) {
        const TW_UINT32 group = DG_IMAGE;
        std::memcpy(pData, &group, sizeof group);
        return TWRC_SUCCESS;
    }
    TW_UINT32 group = 0;
    std::memcpy(&group, pData, sizeof group);
    if (group == DG_IMAGE) return TWRC_SUCCESS;
    return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
}

TW_UINT16 handleCustomData(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto* data = static_cast<TW_CUSTOMDSDATA*>(pData);
    return MSG == MSG_GET ? source.scanner->getCustomData(data)
                          : source.scanner->setCustomData(data);
}

}  // namespace tarnwick
