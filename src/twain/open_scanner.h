// The open scanner: owns the scanning window and the image offered to the application, turns
// requests for images into scans of the right rectangle, and is the window's way back to the
// data source.
#pragma once

#include <memory>

#include "settings/properties_services.h"
#include "twain/image.h"
#include "twain/scanner.h"
#include "window/scan_window.h"

namespace tarnwick {

class DataSource;

class OpenScanner : public Scanner, private ScannerLink {
  public:
    // Creates the window and runs its first activation, which connects to the daemon and opens
    // the device. `services` go to the window's settings dialog (default: the platform's).
    explicit OpenScanner(DataSource& owner, std::unique_ptr<PropertiesServices> services = nullptr);
    ~OpenScanner() override;
    OpenScanner(const OpenScanner&) = delete;
    OpenScanner& operator=(const OpenScanner&) = delete;

    bool isDeviceOpen() const override;
    void showWindow(bool uiOnly) override;
    void hideWindow() override;
    bool windowSeen() const override;
    bool busy() const override { return window_->busy(); }
    void pressScan() override;
    bool readyToScan() const override;

    void beginBatch() override;
    Image* acquire(bool keepAsCurrent, bool cancelAtEnd) override;
    Word scanFailure() const override;
    Image* getImage() override;
    void releaseImage() override;
    TW_INT32 pendingCount() const override;
    void setPendingCount(TW_INT32 count) override;
    void scanAhead() override;
    TW_INT32 transferLimit() const override { return window_->batch().limit(); }
    void setTransferLimit(TW_INT32 limit) override { window_->batch().setLimit(limit); }
    int scanResolution() override;
    ScanRectangle nextScanRectangle() const override;
    ScanRectangle wholeScanArea() const override;
    bool setSingleRegion(const ScanRectangle& frame) override;
    const OptionRoles& optionRoles() const override { return window_->roles(); }
    void setFeederChosen(bool chosen) override { window_->batch().setFeederChosen(chosen); }

    // The window, for what a user does in it (its public handlers).
    TFPreview& window() { return window_->form(); }
    Image* currentImage() const { return currentImage_.get(); }

  private:
    // Tells the application (MSG_XFERREADY, MSG_CLOSEDSREQ, MSG_CLOSEDSOK).
    TW_UINT16 notify(TW_UINT16 message);
    bool acquireFirst() override { return acquire(true, false) != nullptr; }
    void imageReady() override { notify(MSG_XFERREADY); }
    void closeRequested() override { notify(MSG_CLOSEDSREQ); }
    void settingsConfirmed() override { notify(MSG_CLOSEDSOK); }

    DataSource& owner_;
    std::unique_ptr<Image> currentImage_;
    // An image acquired without keeping it as the current one; it lives until the next scan.
    std::unique_ptr<Image> looseImage_;
    // The current image was scanned ahead: the batch counted it, the application has yet to.
    bool scannedAhead_ = false;
    // The page scanned ahead failed (a jam, not the end of the paper): the next transfer
    // tells the application, so it still counts as pending.
    bool failedAhead_ = false;
    // The window holds the batch: the pending count, the region walk and the feeder decision.
    std::unique_ptr<ScanWindow> window_;
};

}  // namespace tarnwick
