#include "twain/triplet_table.h"

#include <algorithm>

#include "twain/compressed_memory_transfer.h"
#include "twain/file_records.h"
#include "twain/file_transfer_handlers.h"

namespace tarnwick {

namespace {

constexpr TripletRule rule(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_INT32 low, TW_INT32 high,
                           TripletHandler handler, bool readsData = true) {
    return {DG, DAT, false, MSG, low, high, readsData, handler};
}

const TripletRule kTable[] = {
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, 4, 7, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, 4, 7, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4, handleCapability),
    rule(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, 4, 4, handleCapability, false),
    {DG_CONTROL, DAT_EVENT, true, MSG_NULL, 3, 7, true, handleEvent},
    rule(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, 3, 3, handleEntryPoint),
    rule(DG_CONTROL, DAT_IDENTITY, MSG_GET, 3, 7, handleIdentity),
    rule(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, 3, 3, handleIdentity),
    rule(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, 4, 4, handleIdentity, false),
    rule(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7, handlePendingTransfers),
    rule(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7, handlePendingTransfers),
    rule(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6, handlePendingTransfers),
    rule(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6, handleSetupMemoryTransfer),
    rule(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6, handleSetupFileTransfer),
    rule(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, 4, 6, handleSetupFileTransfer),
    rule(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6, handleSetupFileTransfer),
    rule(DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4, handleSetupFileTransfer),
    rule(DG_CONTROL, DAT_STATUS, MSG_GET, 4, 7, handleStatus),
    rule(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4, handleUserInterface),
    rule(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, 4, 4, handleUserInterface),
    rule(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 4, 5, handleUserInterface, false),
    rule(DG_CONTROL, DAT_XFERGROUP, MSG_GET, 4, 6, handleTransferGroup),
    rule(DG_CONTROL, DAT_XFERGROUP, MSG_SET, 6, 6, handleTransferGroup),
    rule(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, 4, 4, handleCustomData),
    rule(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, 4, 4, handleCustomData),
    rule(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7, handleImageInfo),
    rule(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, 6, handleImageLayout),
    rule(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, 4, 6, handleImageLayout),
    rule(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 4, 4, handleImageLayout),
    rule(DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, 4, 4, handleImageLayout),
    rule(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7, handleImageMemoryTransfer),
    rule(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6, handleImageNativeTransfer),
    rule(DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GET, 4, 6, handleJpegCompression),
    rule(DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GETDEFAULT, 4, 6, handleJpegCompression),
    rule(DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_RESET, 4, 4, handleJpegCompression),
    rule(DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_SET, 4, 4, handleJpegCompression),
    rule(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6, handleImageFileTransfer, false),
    rule(DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, 6, 7, handleImageMemoryFileTransfer),
    rule(DG_IMAGE, DAT_PALETTE8, MSG_GET, 4, 6, handlePalette8),
};

}  // namespace

std::vector<TW_UINT32> supportedDataPairs() {
    std::vector<TW_UINT32> pairs;
    for (const TripletRule& rule : kTable) {
        const TW_UINT32 pair = rule.DG << 16 | rule.DAT;
        if (std::find(pairs.begin(), pairs.end(), pair) == pairs.end()) pairs.push_back(pair);
    }
    return pairs;
}

const TripletRule* findTriplet(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG) {
    for (const TripletRule& rule : kTable) {
        if (rule.DG == DG && rule.DAT == DAT && (rule.anyMessage || rule.MSG == MSG)) return &rule;
    }
    return nullptr;
}

}  // namespace tarnwick
