// A scan session: the connection to the daemon, the opened scanner with its option roles, the
// scan area, the regions and the batch they make, the scan bitmap and the cancel rule. It offers
// what a scan needs (connect, open a scanner, set the area, scan the next image, end the image)
// and runs with or without a window: whoever shows it watches through a ScanObserver.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "options/option_roles.h"
#include "options/scanner_transport.h"
#include "sane/procedures.h"
#include "session/regions.h"
#include "session/scan_batch.h"
#include "settings/scan_settings.h"

namespace tarnwick {

class Connection;

// Raised by the status routine after a fatal report, once scanner and connection are closed, so
// that the operation in progress ends; its text is the translated "Connection cancelled".
class ConnectionCancelled : public std::runtime_error {
  public:
    ConnectionCancelled();
};

// What a session tells whoever shows it. Without an observer a session is silent.
class ScanObserver {
  public:
    virtual ~ScanObserver() = default;
    // Every status message of the connection, the scanner and the session. A fatal one is
    // followed by the closing of scanner and connection.
    virtual void status(const std::string& message, bool showError, bool fatal) = 0;
    // The scanner's callback: ScannerTransport::optionsReloaded or parametersLoaded.
    virtual void scannerEvent(int event) = 0;
    // The scanner waits for its own button; true to go on.
    virtual bool confirmButtonStart() = 0;
    // A read starts; its first frame has `lines` rows (-1: not known); rows arrive; it ends.
    virtual void readStarts() = 0;
    virtual void frameBegins(int lines) = 0;
    virtual void rowsRead(int rows) = 0;
    virtual void readEnds() = 0;
    // The feeder scans one region only: the regions were cut to the first.
    virtual void regionsCutForFeeder() = 0;
};

class ScanSession {
  public:
    explicit ScanSession(ScanSettings settings = {});
    ~ScanSession();
    ScanSession(const ScanSession&) = delete;
    ScanSession& operator=(const ScanSession&) = delete;

    void setObserver(ScanObserver* observer) { observer_ = observer; }
    ScanSettings& settings() { return settings_; }
    const ScanSettings& settings() const { return settings_; }

    // ---- the daemon ----
    // Logs on; false when it could not (the reason went to the status routine).
    bool connect(const std::string& host, const std::string& user, int port);
    bool connected() const { return connection_ != nullptr || direct_; }
    // Scanners named by URL (eSCL) need no daemon: the session counts as connected without one.
    bool connectDirect() { return direct_ = true; }
    // Null when not connected.
    Connection* connection() const { return connection_.get(); }
    // The daemon's devices (an empty list when it gave none).
    std::vector<DeviceRecord> devices();

    // ---- the scanner ----
    // Closes the open scanner, then opens this one: its options, their roles and the scan area.
    bool openScanner(const std::string& name);
    void closeScanner();
    // Null when none is open.
    ScannerTransport* scanner() const { return scanner_.get(); }
    const OptionRoles& roles() const { return roles_; }
    // What a scan runs through may be pointed elsewhere (an option the finder cannot know).
    OptionRoles& roles() { return roles_; }

    // The status routine. A fatal report closes scanner and connection and throws
    // ConnectionCancelled; they are freed once the calls under way have returned.
    void report(const std::string& message, bool showError, bool fatal);
    void freeRetired();

    // ---- the scan area, in the unit of the geometry options ----
    // The largest scan area of the open scanner.
    const Region& scanArea() const { return scanArea_; }
    void setWholeArea(const Region& area) { scanArea_ = area; }
    // The scan area and the last seen area taken anew from the geometry options (after the
    // opening, and after saved values moved them).
    void takeAreaFromOptions();
    // Writes the edges in the order tl-x, br-x, br-y, tl-y; false when the scanner refused or
    // changed a value.
    bool setScanArea(const ScanRectangle& area);
    // The geometry options' values; an edge without an option keeps what was asked.
    ScanRectangle areaTaken(const ScanRectangle& asked) const;
    // The bounds of the geometry options (an edge without bound: its value), and their values.
    Region largestArea() const;
    Region optionsArea() const;
    // The geometry options' values as last written or seen: a reload that finds them elsewhere
    // moved the area.
    Region optionArea;
    // Set while the session or its window write options themselves: the reloads this causes do
    // not replace the regions.
    bool adjustingOptions = false;

    // ---- the batch ----
    Regions regions;
    ScanBatch batch{regions, scanArea_, [this] { return feederInUse(); }};
    // Whether the next pages come from the document feeder; with more than one region, they are
    // cut to one.
    bool feederInUse();
    // Begins a batch; the number of feeder pages comes from the settings, or from `askPages`
    // when they say the user is asked. Returns the feeder decision.
    bool beginBatch(const std::function<int()>& askPages = {});

    // ---- reading ----
    // Reads one image, all its frames, into the bitmap; true when it was read completely.
    // Only scanBitmap, the application's image, keeps 16-bit samples.
    bool scanInto(Bitmap& bitmap);
    // One image of the batch: its next rectangle written to the geometry options and read into
    // scanBitmap. False when no image was read.
    bool scanNextImage(Region& area);
    // After scanNextImage: a delivered image counts down the batch, anything else ends it; with
    // `cancelAtEnd` the end of the batch cancels the scanner when the cancel rule asks.
    void endImage(bool delivered, bool cancelAtEnd);
    // The cancel rule's "after a batch" (and after previews); `logged` writes it to the debug log.
    void cancelAfterBatch(bool logged = false);
    bool reading() const { return reading_; }
    // Why the last read gave no image, as a SANE status: the device's own (a jam, an empty
    // feeder, ...), SANE_STATUS_CANCELLED for a stop by the user, SANE_STATUS_IO_ERROR for a
    // lost connection, SANE_STATUS_NO_MEM; SANE_STATUS_GOOD after a whole image.
    Word failure() const { return failure_; }
    // The image read whole could not be kept (its delivery needs memory it could not get).
    void setFailure(Word status) { failure_ = status; }
    // Escape, or the window hidden: the read under way stops.
    void stopReading() { keepReading_ = false; }
    // Every final scan, 16-bit samples kept.
    Bitmap scanBitmap;

  private:
    void cancelScanner(bool logged);
    // The frames of one image; scanInto's body.
    bool readFrames(Bitmap& bitmap);
    // Ends a read that gave no image, for this reason.
    bool failed(Word status);

    ScanSettings settings_;
    ScanObserver* observer_ = nullptr;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<ScannerTransport> scanner_;
    OptionRoles roles_;
    Region scanArea_;
    bool direct_ = false;
    bool reading_ = false;
    bool keepReading_ = false;
    bool closingAfterFatal_ = false;
    bool destroying_ = false;
    long reports_ = 0;  // status messages so far
    Word failure_ = SANE_STATUS_GOOD;
    std::vector<std::unique_ptr<ScannerTransport>> retiredScanners_;
    std::vector<std::unique_ptr<Connection>> retiredConnections_;
};

}  // namespace tarnwick
