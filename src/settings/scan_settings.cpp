#include "settings/scan_settings.h"

#include <exception>

#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_location.h"

namespace tarnwick {

namespace {

// Reads every key as the key table's default: stands in for a file that could not be opened.
struct TableDefaults {
    int readInteger(SettingKey id) const {
        return settingsInteger(std::string(settingDefinition(id).defaultValue), 0);
    }
    bool readBoolean(SettingKey id) const { return readInteger(id) != 0; }
};

template <class Reader>
ScanSettings read(const Reader& file) {
    using K = SettingKey;
    ScanSettings s;
    s.hideInactive = file.readBoolean(K::generalHideDisabled);
    s.feederSinglePage = file.readBoolean(K::adfSinglePage);
    s.escapeDisabled = file.readBoolean(K::generalDisableEsc);
    s.saveRegions = file.readBoolean(K::generalSaveRegions);
    s.removeRegions = file.readBoolean(K::generalRemoveRegions);
    s.findFit = file.readBoolean(K::previewFindFit);
    // The dialog's two start choices exclude each other; both set leave the scan.
    s.autoScan = file.readBoolean(K::scanAutoStart);
    s.autoPreview = file.readBoolean(K::previewAutoStart) && !s.autoScan;
    s.topMost = file.readBoolean(K::generalTopMost);
    s.previewAtMinimum = file.readBoolean(K::previewUseMinimum);
    s.previewResolution = file.readInteger(K::previewResolution);
    s.cancelType = file.readInteger(K::zoveruDeviceCancelType);
    s.forcePreviewEject = file.readBoolean(K::adfForcePreviewEject);
    s.noInvertBlackWhite = file.readBoolean(K::generalNoInvertBlackWhite);
    s.feederPages = file.readInteger(K::adfScanNPages);
    s.edgeThreshold = file.readInteger(K::generalEdgeThreshold);
    return s;
}

}  // namespace

ScanSettings readScanSettings(const SettingsFile& file) {
    return read(file);
}

ScanSettings readScanSettings() {
    try {
        return read(*openSettingsFile());
    } catch (const std::exception&) {
        return read(TableDefaults{});
    }
}

}  // namespace tarnwick
