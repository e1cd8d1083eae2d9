#include "twain/data_source.h"

#include <cstring>

#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "platform/dialog_message.h"

#include "twain/triplet_table.h"

namespace tarnwick {

TW_IDENTITY appIdentity{};
TW_IDENTITY dsIdentity{};

DataSource::DataSource() : DataSource(createScanner, DsmLink()) {}

DataSource::DataSource(ScannerFactory createScanner, DsmLink dsm)
    : createScanner_(std::move(createScanner)), dsm_(std::move(dsm)) {}

DataSource::~DataSource() = default;

TW_UINT16 DataSource::setCondition(TW_UINT16 condition, TW_UINT16 returnCode) {
    conditionCode = condition;
    return returnCode;
}

void DataSource::setState(TW_INT32 state) {
    if (state == state_) return;
    debugLog(tr("TWAIN state %d -> %d\n"), static_cast<int>(state_), static_cast<int>(state));
    state_ = state;
}

std::unique_ptr<Scanner> DataSource::makeScanner() {
    return createScanner_ ? createScanner_(*this) : nullptr;
}

void DataSource::closeScanner() {
    if (scanner && scanner->busy()) {
        scanner->hideWindow();
        closedScanners_.push_back(std::move(scanner));
    }
    scanner.reset();
}

TW_UINT16 DataSource::dispatch(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                               TW_MEMREF pData) {
    TW_UINT16 rc;
    {
        const base::ScopedValue nested(dispatching_, dispatching_ + 1);
        rc = route(pOrigin, DG, DAT, MSG, pData);
    }
    // Only the outermost triplet knows that no call of a closed scanner is still on the stack
    // below it, unless the scanner's window itself is busy (a read started by its Scan button).
    if (dispatching_ == 0)
        std::erase_if(closedScanners_, [](const auto& closed) { return !closed->busy(); });
    return rc;
}

TW_UINT16 DataSource::route(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                            TW_MEMREF pData) {
    if (!(DG == DG_CONTROL && DAT == DAT_STATUS)) conditionCode = TWCC_SUCCESS;

    if (DG == DG_CONTROL && DAT == DAT_IDENTITY && MSG == MSG_OPENDS && state_ == 3) {
        if (!pOrigin) return setCondition(TWCC_BADVALUE, TWRC_FAILURE);
        std::memcpy(&appIdentity, pOrigin, sizeof appIdentity);
    }

    const TripletRule* rule = findTriplet(DG, DAT, MSG);
    if (!rule) return setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    if (state_ < rule->lowestState || state_ > rule->highestState)
        return setCondition(TWCC_SEQERROR, TWRC_FAILURE);
    if (rule->readsData && !pData) return setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    return rule->handler(*this, MSG, pData);
}

TW_UINT16 DataSource::notifyApplication(TW_UINT16 message) {
    if (message == MSG_XFERREADY) {
        if (state_ != 5 || uiOnly) return setCondition(TWCC_SEQERROR, TWRC_FAILURE);
        setState(6);
    } else if (message == MSG_CLOSEDSREQ) {
        if (state_ < 5 || state_ > 7) return setCondition(TWCC_SEQERROR, TWRC_FAILURE);
        unseenWindow = false;
        // The application answers with MSG_DISABLEDS, which it may send only in state 5.
        setState(5);
    } else if (message == MSG_CLOSEDSOK) {
        if (state_ != 5 || !uiOnly) return setCondition(TWCC_SEQERROR, TWRC_FAILURE);
    } else {
        return setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    }

    if (!dsm_.managerQueuesEvents()) {
        pendingEvent = message;
        platform::wakeDialogWindow();
    }
    if (!dsm_.managerKnown()) {
        // A 1.x manager said nothing of itself: the platform's is the one that loaded us.
        dsm_.loadLibrary();
        // From now on every request counts as coming from a word-like application, until
        // the next MSG_OPENDS brings an identity again.
        appIdentity.Manufacturer[0] = '\0';
    }
    DSMENTRYPROC entry = dsm_.entry();
    if (!entry) return TWRC_SUCCESS;
    return entry(&dsIdentity, &appIdentity, DG_CONTROL, DAT_NULL, message, nullptr);
}

}  // namespace tarnwick
