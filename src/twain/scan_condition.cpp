#include "twain/scan_condition.h"

#include "twain/data_source.h"

namespace tarnwick {

TW_UINT16 conditionOfScanFailure(Word status) {
    switch (status) {
        case SANE_STATUS_JAMMED:
            return TWCC_PAPERJAM;
        case SANE_STATUS_NO_DOCS:
            return TWCC_NOMEDIA;
        case SANE_STATUS_COVER_OPEN:
            return TWCC_INTERLOCK;
        case SANE_STATUS_DEVICE_BUSY:
        case SANE_STATUS_IO_ERROR:
            return TWCC_CHECKDEVICEONLINE;
        case SANE_STATUS_ACCESS_DENIED:
            return TWCC_DENIED;
        case SANE_STATUS_NO_MEM:
            return TWCC_LOWMEMORY;
        default:
            return TWCC_OPERATIONERROR;
    }
}

bool endsBatchQuietly(Word status) {
    return status == SANE_STATUS_GOOD || status == SANE_STATUS_CANCELLED ||
           status == SANE_STATUS_NO_DOCS;
}

TW_UINT16 answerWithoutImage(DataSource& source) {
    const Word failure = source.scanner->scanFailure();
    if (endsBatchQuietly(failure)) return TWRC_CANCEL;
    return source.setCondition(conditionOfScanFailure(failure), TWRC_FAILURE);
}

}  // namespace tarnwick
