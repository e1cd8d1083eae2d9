// The small DG_CONTROL requests: DAT_EVENT, DAT_STATUS, DAT_XFERGROUP, DAT_ENTRYPOINT,
// DAT_CUSTOMDSDATA.
#include <cstring>
#include <utility>

#include "platform/dialog_message.h"
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

namespace {

// A notification the application has made moot meanwhile (it disabled the source, or took the
// transfers) is dropped.
bool stillCurrent(const DataSource& source, TW_UINT16 message) {
    return message == MSG_XFERREADY ? source.state() == 6 : source.state() == 5;
}

}  // namespace

TW_UINT16 handleEvent(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& event = *static_cast<TW_EVENT*>(pData);
    const bool ours = platform::offerDialogMessage(event.pEvent);
    // Read after the message ran: it may have been the click that produced the notification.
    const TW_UINT16 pending = std::exchange(source.pendingEvent, MSG_NULL);
    if (pending != MSG_NULL && stillCurrent(source, pending)) {
        // Like every source of the message-loop era, the event that carries it is the source's.
        event.TWMessage = pending;
        return TWRC_DSEVENT;
    }
    if (!ours) return TWRC_NOTDSEVENT;
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

TW_UINT16 handleEntryPoint(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    // Size comes first and says how much of the record the manager filled.
    TW_UINT32 size = 0;
    std::memcpy(&size, pData, sizeof size);
    if (size < sizeof(TW_ENTRYPOINT)) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    TW_ENTRYPOINT offered;
    std::memcpy(&offered, pData, sizeof offered);
    if (!source.dsm().adoptEntryPoint(offered))
        return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    return TWRC_SUCCESS;
}

TW_UINT16 handleCustomData(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto* data = static_cast<TW_CUSTOMDSDATA*>(pData);
    // The settings live in the settings file: the record is an empty block, which a later
    // MSG_SET takes back as it is.
    if (MSG == MSG_SET) return TWRC_SUCCESS;
    TW_HANDLE block = source.dsm().allocate(0);
    if (!block) return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    data->InfoLength = 0;
    data->hData = block;
    return TWRC_SUCCESS;
}

}  // namespace tarnwick
