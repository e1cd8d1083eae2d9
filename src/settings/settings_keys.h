// The one table of every key of the settings file, with its section, type and default.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarnwick {

enum class SettingType { text, integer, boolean };

enum class SettingKey {
    connectionHost,
    connectionPort,
    connectionUser,
    connectionGetDevices,
    connectionDevice,
    connectionDevices,
    connectionTimeOut,
    previewUseMinimum,
    previewResolution,
    previewAutoStart,
    previewFindFit,
    scanAutoStart,
    generalTopMost,
    generalDisableEsc,
    generalHideDisabled,
    generalRemoveRegions,
    generalSaveRegions,
    generalLanguage,
    generalWindowSize,
    generalEdgeThreshold,
    generalNoInvertBlackWhite,
    generalIniCopyGlobalToUser,
    adfSinglePage,
    adfForcePreviewEject,
    adfScanNPages,
    saveJpegQuality,
    printerSetup,
    printerDelayed,
    printerDefault,
    evernoteEmail,
    evernoteSubject,
    zoveruDeviceCancelType,
    zoveruRemoveWordKey,
    toolbarsUseLargeIcons,
    toolbarsBandWidth,  // key: the option's SANE name
    regionsRegion,      // key: the region's number, "0", "1", ...
    regionsDefault,
    deviceEntryDevice,          // section: the device's entry in the device list
    deviceEntryHost,            // section: the device's entry
    deviceEntryUser,            // section: the device's entry
    deviceEntryPort,            // section: the device's entry
    deviceEntryOptionValue,     // section: the device's entry; key: the option's SANE name
    deviceEntryLastResolution,  // section: the device's entry
    deviceEntryOnExit,    // section: the device's entry; key: "OnExit." + the option's SANE name
    deviceEntryIdentity,  // section: the device's entry; "vendor|model|type" as listed
};

struct SettingDefinition {
    SettingKey id;
    // Empty: the section is the device's entry, named by the reader.
    std::string_view section;
    // The key, or the fixed start of a key whose rest the reader names (empty or "OnExit.").
    std::string_view key;
    bool keyNamedByReader;
    SettingType type;
    // As text; integers and booleans as their decimal text.
    std::string_view defaultValue;
    // False where the key has no default: readers test its presence (or take it as empty).
    bool hasDefault;
};

// Every row, in the order of SettingKey.
std::span<const SettingDefinition> settingDefinitions();
const SettingDefinition& settingDefinition(SettingKey id);

// Where a setting is stored. `entry` names the section of the device-entry rows, `item` the
// variable part of the key (option name or region number); both are ignored where fixed.
struct SettingName {
    std::string section;
    std::string key;
};
SettingName settingName(SettingKey id, std::string_view entry = {}, std::string_view item = {});

}  // namespace tarnwick
