// The settings a scan and the scanning window follow, as one value read from the settings file:
// nobody reads them off the settings dialog's controls.
#pragma once

namespace tarnwick {

class SettingsFile;

struct ScanSettings {
    bool hideInactive = false;      // options that are not active get no control
    bool feederSinglePage = false;  // a feeder batch scans one page unless the application chose it
    bool escapeDisabled = false;    // Escape does not stop a read
    bool saveRegions = false;
    bool removeRegions = false;  // regions follow the scan area when the device moves it
    bool findFit = false;        // a preview ends with "Find fit"
    bool autoPreview = false;    // the first activation previews
    bool autoScan = false;       // ... or scans once the application enables the source
    bool topMost = false;
    bool previewAtMinimum = true;  // a preview takes the lowest resolution that fills the window
    int previewResolution = 0;     // else at most this one
    int cancelType = 1;            // bits of CancelBits
    bool forcePreviewEject = false;
    bool noInvertBlackWhite = false;
    int feederPages = -1;  // pages per feeder batch; 0 asks the user, -1 until the feeder is empty
    int edgeThreshold = 10;
};

// The settings as the file has them (a missing key: the key table's default).
ScanSettings readScanSettings(const SettingsFile& file);
// From the settings file in its usual place; the key table's defaults when it cannot be opened.
ScanSettings readScanSettings();

}  // namespace tarnwick
