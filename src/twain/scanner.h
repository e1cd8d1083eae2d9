// The open scanner as the TWAIN side sees it: what varies between the scanner and its stand-ins.
#pragma once

#include <functional>
#include <memory>

#include "options/option_roles.h"
#include "sane/wire_types.h"
#include "session/scan_batch.h"
#include "twain/records.h"

namespace tarnwick {

class DataSource;
class Image;

class Scanner {
  public:
    virtual ~Scanner() = default;

    // True when the scanning window opened a device; otherwise the source does not open.
    virtual bool isDeviceOpen() const = 0;
    // Shows the scanning window without making it modal; `uiOnly` for settings only.
    virtual void showWindow(bool uiOnly) = 0;
    // Hides the window; a read under way stops.
    virtual void hideWindow() = 0;
    // The window is reading an image or running one of its handlers, which may have called the
    // application: the scanner must outlive that call.
    virtual bool busy() const = 0;
    // False where the toolkit puts nothing on a screen (the Linux build): nobody can use the
    // window, so the source acts as its user would.
    virtual bool windowSeen() const = 0;
    // What the window's Scan button does: starts the batch of the current regions (or the
    // whole area, or the feeder's pages) and tells the application of the first image.
    virtual void pressScan() = 0;
    // The application enabled the source for scanning (TWAIN state 5, not settings only) and
    // no transfer is under way: the moment an automatic scan may begin.
    virtual bool readyToScan() const = 0;

    // Sets up a batch as the window's Scan button does (the pending count from the regions or
    // the feeder's pages, the first region next), for MSG_ENABLEDS without the window.
    virtual void beginBatch() = 0;
    // Scans one image; null when none was obtained (scanFailure() then says why).
    virtual Image* acquire(bool keepAsCurrent, bool cancelAtEnd) = 0;
    // Why the last scan gave no image, as a SANE status; SANE_STATUS_GOOD after an image.
    virtual Word scanFailure() const = 0;
    // The current image, scanning the next one first when none is held and images are pending.
    virtual Image* getImage() = 0;
    virtual void releaseImage() = 0;
    // Images still to be delivered; -1 means no limit.
    virtual TW_INT32 pendingCount() const = 0;
    virtual void setPendingCount(TW_INT32 count) = 0;
    // After a transfer: a batch from the feeder scans its next page at once, so that the count
    // the application reads next is 0 once the feeder is empty; other batches wait.
    virtual void scanAhead() = 0;
    // CAP_XFERCOUNT: the most images a batch gives; -1 means no limit.
    virtual TW_INT32 transferLimit() const = 0;
    virtual void setTransferLimit(TW_INT32 limit) = 0;
    // The resolution of the next scan in dots per inch: lengths in pixels count at it.
    virtual int scanResolution() = 0;
    // The rectangle the next scan would use: the application's frame, the current region, or
    // the whole scan area. Never scans.
    virtual ScanRectangle nextScanRectangle() const = 0;
    // The largest scan area of the device.
    virtual ScanRectangle wholeScanArea() const = 0;
    // The application's frame (DAT_IMAGELAYOUT / MSG_SET): scanned exactly, whatever reloads
    // of the device's options do to the window's regions, until the window is shown. False
    // when the device clamped or refused an edge: the frame is then what it took.
    virtual bool setSingleRegion(const ScanRectangle& frame) = 0;
    // The options the capabilities read and write; all null while no device is open.
    virtual const OptionRoles& optionRoles() const = 0;
    // The application chose the feeder, or not (CAP_FEEDERENABLED, CAP_DUPLEXENABLED): a batch
    // from the feeder the application chose takes every page.
    virtual void setFeederChosen(bool chosen) = 0;
};

// Creates the open scanner for MSG_OPENDS; may return null when no scanner can be made.
using ScannerFactory = std::function<std::unique_ptr<Scanner>(DataSource& owner)>;

// The factory the module uses.
std::unique_ptr<Scanner> createScanner(DataSource& owner);

}  // namespace tarnwick
