// What the open scanner and its scanning window use of each other. The scanner sees the window
// and its session only through ScanWindow; the window reaches the scanner only through
// ScannerLink.
#pragma once

#include <memory>
#include <string>

#include "image/bitmap.h"
#include "options/option_roles.h"
#include "session/scan_batch.h"

namespace tarnwick {

class PropertiesServices;
class ScanSession;
class ScannerTransport;
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

// A scan session with its window: the window is created over the session and runs its first
// activation, which connects to the daemon and opens the scanner; it then reports to `link`.
class ScanWindow {
  public:
    // `services` go to the settings dialog (default: the platform's).
    ScanWindow(ScannerLink& link, std::unique_ptr<PropertiesServices> services);
    ~ScanWindow();
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    // Null when no scanner could be opened.
    ScannerTransport* scanner() const;
    const OptionRoles& roles() const;
    // Shows the window without making it modal; `uiOnly` for settings only.
    void show(bool uiOnly);
    // Hides the window and stops a read under way.
    void hide();
    // Reading an image or running a handler of the window.
    bool busy() const;
    // Whether the toolkit put the window on a screen.
    bool seen() const;
    void pressScan();
    // A batch begun without the window's Scan button: no page question.
    void beginBatch();
    ScanBatch& batch();
    // Writes the frame to the geometry options and reads back what the scanner took; false
    // when it refused or changed an edge.
    bool setScanArea(ScanRectangle& frame);
    // The batch's next image, read into scanBitmap (and shown as the preview without regions).
    bool scanNextImage(Region& area);
    void endImage(bool delivered, bool cancelAtEnd);
    // Receives every final scan.
    Bitmap& scanBitmap();
    // An error on the status line.
    void reportError(const std::string& message);

    TFPreview& form() { return *form_; }
    ScanSession& session() { return *session_; }

  private:
    std::unique_ptr<ScanSession> session_;
    std::unique_ptr<TFPreview> form_;
};

}  // namespace tarnwick
