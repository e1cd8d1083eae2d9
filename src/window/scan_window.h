// What the open scanner and its scanning window use of each other. The scanner sees the window
// only through ScanWindow; the window reaches the scanner only through ScannerLink.
#pragma once

#include <memory>
#include <string>

#include "image/bitmap.h"
#include "options/option_roles.h"
#include "window/scan_batch.h"

namespace tarnwick {

class Device;
class PropertiesServices;
class TFPreview;

class ScannerLink {
  public:
    virtual ~ScannerLink() = default;
    // The application enabled the source for scanning and no transfer is under way: the
    // moment an automatic scan may begin.
    virtual bool readyToScan() const = 0;
    // Acquires the first image of a batch the Scan button began and keeps it as the one
    // offered; false when no image was obtained.
    virtual bool acquireFirst() = 0;
    // Tells the application that an image waits (MSG_XFERREADY).
    virtual void imageReady() = 0;
    // Asks the application to close the source (MSG_CLOSEDSREQ).
    virtual void closeRequested() = 0;
    // Tells the application the user confirmed the settings (MSG_CLOSEDSOK).
    virtual void settingsConfirmed() = 0;
};

class ScanWindow {
  public:
    // Creates the window and runs its first activation, which connects to the daemon and opens
    // the device; the window then reports to `link`. `services` go to the settings dialog
    // (default: the platform's).
    ScanWindow(ScannerLink& link, std::unique_ptr<PropertiesServices> services);
    ~ScanWindow();
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    // Null when no device could be opened.
    Device* device() const;
    OptionRoles roles() const;
    // Shows the window without making it modal; `uiOnly` (settings only) shows it with the
    // Scan and Print buttons disabled, giving them their states back afterwards, and with
    // an OK button that confirms the settings.
    void show(bool uiOnly);
    // Hides the window and stops a read under way.
    void hide();
    // Reading an image or running a handler; see TFPreview::busy.
    bool busy() const;
    // Whether the toolkit put the window on a screen.
    bool seen() const;
    void pressScan();
    // A batch begun without the window's Scan button: no page question.
    void beginBatch();
    ScanBatch& batch();
    // Writes the frame to the geometry options and reads back what the device took; false
    // when it refused or changed an edge.
    bool setScanArea(ExactFrame& frame);
    // TFPreview::scanNextImage and endImage.
    bool scanNextImage(Region& area);
    void endImage(bool delivered, bool cancelAtEnd);
    // Receives every final scan.
    Bitmap& scanBitmap();
    // An error on the status line.
    void reportError(const std::string& message);

    TFPreview& form() { return *form_; }

  private:
    std::unique_ptr<TFPreview> form_;
};

}  // namespace tarnwick
