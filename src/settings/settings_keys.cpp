#include "settings/settings_keys.h"

#include <array>

namespace tarnwick {
namespace {

using enum SettingKey;
constexpr auto text = SettingType::text;
constexpr auto integer = SettingType::integer;
constexpr auto boolean = SettingType::boolean;

constexpr std::array kDefinitions = {
    SettingDefinition{connectionHost, "Connection", "Host", false, text, "", true},
    SettingDefinition{connectionPort, "Connection", "Port", false, integer, "6566", true},
    SettingDefinition{connectionUser, "Connection", "User", false, text, "PCUSER", true},
    SettingDefinition{connectionGetDevices, "Connection", "GetDevices", false, boolean, "1", true},
    SettingDefinition{connectionDevice, "Connection", "Device", false, text, "", true},
    SettingDefinition{connectionDevices, "Connection", "Devices", false, text, "", false},
    SettingDefinition{connectionTimeOut, "Connection", "TimeOut", false, integer, "60000", true},
    SettingDefinition{previewUseMinimum, "Preview", "UseMinimum", false, boolean, "1", true},
    SettingDefinition{previewResolution, "Preview", "Resolution", false, integer, "50", true},
    SettingDefinition{previewAutoStart, "Preview", "AutoStart", false, boolean, "0", true},
    SettingDefinition{previewFindFit, "Preview", "FindFit", false, boolean, "0", true},
    SettingDefinition{scanAutoStart, "Scan", "AutoStart", false, boolean, "0", true},
    SettingDefinition{generalTopMost, "General", "TopMost", false, boolean, "0", true},
    SettingDefinition{generalDisableEsc, "General", "DisableEsc", false, boolean, "0", true},
    SettingDefinition{generalHideDisabled, "General", "HideDisabled", false, boolean, "0", true},
    SettingDefinition{generalRemoveRegions, "General", "RemoveRegions", false, boolean, "1", true},
    SettingDefinition{generalSaveRegions, "General", "SaveRegions", false, boolean, "0", true},
    SettingDefinition{generalLanguage, "General", "Language", false, text, "en", true},
    SettingDefinition{generalWindowSize, "General", "WindowSize", false, text, "", true},
    SettingDefinition{generalEdgeThreshold, "General", "EdgeThreshold", false, integer, "10", true},
    SettingDefinition{generalNoInvertBlackWhite, "General", "NoInvertBlackWhite", false, boolean,
                      "0", true},
    SettingDefinition{generalIniCopyGlobalToUser, "General", "INICopyGlobalToUser", false, boolean,
                      "0", true},
    SettingDefinition{adfSinglePage, "ADF", "SinglePage", false, boolean, "1", true},
    SettingDefinition{adfForcePreviewEject, "ADF", "ForcePreviewEject", false, boolean, "0", true},
    SettingDefinition{adfScanNPages, "ADF", "ScanNPages", false, integer, "-1", true},
    SettingDefinition{saveJpegQuality, "Save", "JPEGQuality", false, integer, "80", true},
    SettingDefinition{printerSetup, "Printer", "Setup", false, boolean, "0", true},
    SettingDefinition{printerDelayed, "Printer", "Delayed", false, boolean, "0", true},
    SettingDefinition{printerDefault, "Printer", "Default", false, text, "", true},
    SettingDefinition{evernoteEmail, "Evernote", "Email", false, text, "", true},
    SettingDefinition{evernoteSubject, "Evernote", "Subject", false, text, "", true},
    SettingDefinition{zoveruDeviceCancelType, "Zoveru", "DeviceCancelType", false, integer, "1",
                      true},
    SettingDefinition{zoveruRemoveWordKey, "Zoveru", "RemoveWordKey", false, text, "", true},
    SettingDefinition{toolbarsUseLargeIcons, "Toolbars", "UseLargeIcons", false, boolean, "0",
                      true},
    SettingDefinition{toolbarsBandWidth, "Toolbars", "", true, integer, "100", true},
    SettingDefinition{regionsRegion, "Regions", "", true, text, "", false},
    SettingDefinition{regionsDefault, "Regions", "Default", false, text, "", true},
    SettingDefinition{deviceEntryDevice, "", "Device", false, text, "", true},
    SettingDefinition{deviceEntryHost, "", "Host", false, text, "", true},
    SettingDefinition{deviceEntryUser, "", "User", false, text, "PCUSER", true},
    SettingDefinition{deviceEntryPort, "", "Port", false, integer, "6566", true},
    SettingDefinition{deviceEntryOptionValue, "", "", true, text, "", false},
    SettingDefinition{deviceEntryLastResolution, "", "LastResolution", false, text, "", false},
    SettingDefinition{deviceEntryOnExit, "", "OnExit.", true, text, "", false},
    SettingDefinition{deviceEntryIdentity, "", "Identity", false, text, "", false},
};

constexpr bool rowsFollowTheIds() {
    for (std::size_t i = 0; i < kDefinitions.size(); ++i)
        if (static_cast<std::size_t>(kDefinitions[i].id) != i) return false;
    return true;
}
static_assert(rowsFollowTheIds(), "the table is indexed by SettingKey");
static_assert(kDefinitions.back().id == deviceEntryIdentity, "every SettingKey has a row");

}  // namespace

std::span<const SettingDefinition> settingDefinitions() {
    return kDefinitions;
}

const SettingDefinition& settingDefinition(SettingKey id) {
    return kDefinitions[static_cast<std::size_t>(id)];
}

SettingName settingName(SettingKey id, std::string_view entry, std::string_view item) {
    const SettingDefinition& row = settingDefinition(id);
    SettingName name{std::string(row.section.empty() ? entry : row.section), std::string(row.key)};
    if (row.keyNamedByReader) name.key += item;
    return name;
}

}  // namespace tarnwick
