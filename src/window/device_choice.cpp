// Finding the saved device again among those the daemon lists.
#include "session/moved_device.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::followMovedDevice() {
    auto file = openSettingsFile();
    // An entry that names its device itself is the user's, not the daemon's.
    if (deviceName.empty() || file->keyExists(SettingKey::deviceEntryDevice, deviceName)) return;
    const std::optional<std::string> moved = movedDevice(
        deviceName, file->readText(SettingKey::deviceEntryIdentity, deviceName), listedDevices_);
    if (!moved) return;
    try {
        for (const auto& [key, value] : file->sectionEntries(deviceName))
            if (!file->keyExists(*moved, key)) file->writeText(*moved, key, value);
        file->eraseSection(deviceName);
        file->writeText(SettingKey::connectionDevice, *moved);
    } catch (const SettingsWriteError&) {
        // A file that cannot be written still lets the device open under its new name.
    }
    deviceName = *moved;
}

void TFPreview::rememberDeviceIdentity(const std::string& name) {
    for (const DeviceRecord& record : listedDevices_) {
        if (record.name != name) continue;
        auto file = openSettingsFile();
        const std::string identity = deviceIdentity(record);
        if (file->readText(SettingKey::deviceEntryIdentity, deviceName) != identity)
            file->writeText(SettingKey::deviceEntryIdentity, identity, deviceName);
        return;
    }
}

}  // namespace tarnwick
