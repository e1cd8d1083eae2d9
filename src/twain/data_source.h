// The data source: TWAIN state, condition code, and the routing of every triplet.
#pragma once

#include <memory>
#include <vector>

#include "twain/dsm_link.h"
#include "twain/file_transfer.h"
#include "twain/records.h"
#include "twain/scanner.h"

namespace tarnwick {

// The calling application's identity, copied at MSG_OPENDS; all zero at load.
extern TW_IDENTITY appIdentity;
// This source's identity, filled by DAT_IDENTITY / MSG_GET; its Id is set at MSG_OPENDS.
extern TW_IDENTITY dsIdentity;

class DataSource {
  public:
    DataSource();
    DataSource(ScannerFactory createScanner, DsmLink dsm);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    // Routes one triplet; answers a TWRC code and leaves the condition for DAT_STATUS.
    TW_UINT16 dispatch(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                       TW_MEMREF pData);
    // Sends MSG_XFERREADY, MSG_CLOSEDSREQ or MSG_CLOSEDSOK to the application through the
    // manager.
    TW_UINT16 notifyApplication(TW_UINT16 message);
    // Stores the condition code and returns the return code.
    TW_UINT16 setCondition(TW_UINT16 condition, TW_UINT16 returnCode);

    // Makes the open scanner for MSG_OPENDS (may be null; may throw std::bad_alloc).
    std::unique_ptr<Scanner> makeScanner();
    // MSG_CLOSEDS: the scanner hides its window, drops its image and closes the device. A busy
    // scanner is hidden now and destroyed once its call has unwound.
    void closeScanner();

    // The manager: where notifications go and whose memory functions make the handles.
    DsmLink& dsm() { return dsm_; }

    // Exists from a successful MSG_OPENDS until MSG_CLOSEDS.
    std::unique_ptr<Scanner> scanner;
    TW_UINT16 conditionCode = TWCC_SUCCESS;
    // TWAIN state, 3 to 7.
    TW_INT32 state() const { return state_; }
    // Every change of state comes through here, so that the debug log traces each one.
    void setState(TW_INT32 state);
    // ICAP_XFERMECH. Images are told and delivered with 16-bit samples only by memory and in
    // files that hold them, as native bitmaps of 8-bit samples are what applications read.
    TW_UINT16 transferMechanism = TWSX_NATIVE;
    bool deliversSixteenBits() const { return holdsSixteenBits(*this); }
    // File and memory-file transfers: the file set, its format and compression.
    FileTransfers files;
    // Rows of the current image already delivered by memory transfer.
    TW_UINT32 rowsTransferred = 0;
    // Enabled by MSG_ENABLEDSUIONLY, for settings only.
    bool uiOnly = false;
    // CAP_INDICATORS.
    bool indicators = true;
    // ICAP_UNITS.
    TW_UINT16 units = TWUN_INCHES;
    // ICAP_SUPPORTEDSIZES: the size the application chose and the frame it set; the size holds
    // while the next scan still takes that frame (a new frame, from the application or the
    // window, makes it TWSS_NONE).
    TW_UINT16 pageSize = TWSS_NONE;
    ScanRectangle pageSizeFrame;
    // Enabled with a window nobody can see: the source pressed Scan for the user and asks to
    // be closed once the batch is over, as the user would close the window.
    bool unseenWindow = false;
    // MSG_ENABLEDS failed and left the source in state 4: an application that still disables
    // it is answered as if it had been enabled.
    bool enableFailed = false;
    // The notification the application's next DAT_EVENT carries back in TWMessage (MSG_NULL:
    // none), for an application that hears the source only through its message loop.
    TW_UINT16 pendingEvent = MSG_NULL;

  private:
    TW_UINT16 route(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                    TW_MEMREF pData);

    TW_INT32 state_ = 3;
    ScannerFactory createScanner_;
    DsmLink dsm_;
    // Triplets under way: the application may call again from a notification or from a
    // message the window processes.
    int dispatching_ = 0;
    std::vector<std::unique_ptr<Scanner>> closedScanners_;
};

}  // namespace tarnwick
