// Option values saved as a device's defaults, the last resolution, and the values set on exit.
// They live in the settings file, in the section named after the device.
#include <cstdio>
#include <optional>
#include <vector>

#include "base/debug_log.h"
#include "base/translate.h"
#include "options/scanner_transport.h"
#include "settings/properties.h"
#include "settings/settings_location.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

// The translated "Value '%s' saved for '%s'" with the value and the option's name.
std::string savedText(const std::string& value, const std::string& name) {
    std::string format = tr("Value '%s' saved for '%s'");
    int size = std::snprintf(nullptr, 0, format.c_str(), value.c_str(), name.c_str());
    if (size < 0) return format;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), format.c_str(), value.c_str(), name.c_str());
    return buffer.data();
}

// Sets a value text without letting the device reload its options in between.
void setWithoutReload(ScannerTransport& device, Option& option, const std::string& text) {
    device.setReloadEnabled(false);
    try {
        option.setValueText(text);
    } catch (...) {
        device.setReloadEnabled(true);
        throw;
    }
    device.setReloadEnabled(true);
    option.restored = true;
}

}  // namespace

void TFPreview::restoreSavedValue(Option& option) {
    if (!device() || option.name.empty()) return;
    auto file = openSettingsFile();
    std::optional<std::string> text;
    if (file->keyExists(SettingKey::deviceEntryOptionValue, deviceName, option.name))
        text = file->readText(SettingKey::deviceEntryOptionValue, deviceName, option.name);
    else if (&option == roles().resolution &&
             file->keyExists(SettingKey::deviceEntryLastResolution, deviceName))
        text = file->readText(SettingKey::deviceEntryLastResolution, deviceName);
    if (!text) return;
    debugLog(tr("Using saved default value '%s' for '%s'\n"), text->c_str(), option.name.c_str());
    setWithoutReload(*device(), option, *text);
}

void TFPreview::saveAllValues() {
    if (!device()) return;
    const ScannerTransport::OptionList& list = device()->options();
    auto file = openSettingsFile();
    try {
        for (const auto& option : list) {
            if (!option->control) continue;
            std::string value = option->valueText();
            debugLog(tr("Saving default value '%s' for '%s'\n"), value.c_str(),
                     option->name.c_str());
            file->writeText(SettingKey::deviceEntryOptionValue, value, deviceName, option->name);
            reportStatus(savedText(value, option->name), false, false);
        }
    } catch (const std::exception&) {
        reportStatus(tr("Error saving property values"), true, false);
    }
}

void TFPreview::saveValueUnderMouse() {
    if (!device()) return;
    ui::Control* target = controlAt(screenToClient(ui::backend().cursorPos()));
    if (!target) return;
    for (const auto& option : device()->options()) {
        if (option->control != target) continue;
        std::string value = option->valueText();
        debugLog(tr("Saving default value '%s' for '%s'\n"), value.c_str(), option->name.c_str());
        try {
            openSettingsFile()->writeText(SettingKey::deviceEntryOptionValue, value, deviceName,
                                          option->name);
            reportStatus(savedText(value, option->name), false, false);
        } catch (const SettingsWriteError&) {
            reportStatus(tr("Error saving property value"), true, false);
        }
        return;
    }
}

void TFPreview::storeLastResolution() {
    // After a fatal report the option went with its device.
    Option* resolution = roles().resolution;
    if (!device() || !resolution) return;
    try {
        // The device's value: a text typed and never taken was not scanned with.
        resolution->refresh();
        openSettingsFile()->writeText(SettingKey::deviceEntryLastResolution,
                                      resolution->valueText(), deviceName);
    } catch (const std::exception&) {
        // Only a convenience for the next start.
    }
}

void TFPreview::applyExitValues() {
    if (!device()) return;
    auto file = openSettingsFile();
    for (const auto& option : device()->options()) {
        if (option->name.empty() ||
            !file->keyExists(SettingKey::deviceEntryOnExit, deviceName, option->name))
            continue;
        std::string value = file->readText(SettingKey::deviceEntryOnExit, deviceName, option->name);
        debugLog(tr("Setting value '%s' for '%s' on exit\n"), value.c_str(), option->name.c_str());
        setWithoutReload(*device(), *option, value);
    }
}

}  // namespace tarnwick
