// DAT_PENDINGXFERS and DAT_SETUPMEMXFER.
#include "base/debug_log.h"
#include "base/translate.h"
#include "twain/data_source.h"
#include "twain/image.h"
#include "twain/image_format.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

namespace {

constexpr TW_UINT32 kSetupMinimum = 64 * 1024;
constexpr TW_UINT32 kSetupPreferred = 1024 * 1024;
constexpr TW_UINT32 kSetupMaximum = 16 * 1024 * 1024;

// The batch is over: a window nobody can see is closed as its user would close it.
void batchOver(DataSource& source) {
    source.files.closeFile();
    source.setState(5);
    if (source.unseenWindow) source.notifyApplication(MSG_CLOSEDSREQ);
}

}  // namespace

TW_UINT16 handlePendingTransfers(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto& pending = *static_cast<TW_PENDINGXFERS*>(pData);
    Scanner& scanner = *source.scanner;
    switch (MSG) {
        case MSG_GET:
            pending.Count = static_cast<TW_UINT16>(scanner.pendingCount());
            debugLog(tr("PendingXfers MSG_GET: %d\n"), static_cast<int>(pending.Count));
            return TWRC_SUCCESS;
        case MSG_ENDXFER:
            // Before the transfer began the image stays, so the next one delivers it again.
            if (source.state() == 7) {
                scanner.releaseImage();
                if (scanner.pendingCount() != 0) scanner.scanAhead();
            }
            pending.Count = static_cast<TW_UINT16>(scanner.pendingCount());
            debugLog(tr("PendingXfers MSG_ENDXFER: %d\n"), static_cast<int>(pending.Count));
            if (pending.Count != 0)
                source.setState(6);
            else
                batchOver(source);
            return TWRC_SUCCESS;
        case MSG_RESET:
            scanner.setPendingCount(0);
            pending.Count = 0;
            debugLog(tr("PendingXfers MSG_RESET\n"));
            batchOver(source);
            return TWRC_SUCCESS;
        default:
            return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    }
}

TW_UINT16 handleSetupMemoryTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& setup = *static_cast<TW_SETUPMEMXFER*>(pData);
    if (source.state() != 6) {
        // Before a scan the rows are unknown: sizes that hold rows of any usual page.
        setup.MinBufSize = kSetupMinimum;
        setup.Preferred = kSetupPreferred;
        setup.MaxBufSize = kSetupMaximum;
        return TWRC_SUCCESS;
    }
    const Image* image = source.scanner->getImage();
    if (!image || !image->bitmap) return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
    const ImageFormat f =
        describeImage(image->parameters, *image->bitmap, source.deliversSixteenBits());
    setup.MinBufSize = f.rowStride;
    // Bounded by what a TW_UINT32 holds; a buffer that size takes every row at once.
    const unsigned long long whole =
        static_cast<unsigned long long>(f.rowStride) * static_cast<unsigned>(f.rows);
    setup.MaxBufSize = setup.Preferred =
        static_cast<TW_UINT32>(std::min<unsigned long long>(whole, 0xFFFFFFFFull));
    return TWRC_SUCCESS;
}

}  // namespace tarnwick
