#include <gtest/gtest.h>

#include <set>

#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "support/scoped_environment.h"

namespace {

using tarnwick::SettingKey;
using tarnwick::SettingsFile;
using tarnwick::SettingType;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

TEST(SettingKeys, EveryFixedRowIsDistinctAndItsDefaultFitsItsType) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const auto& row : tarnwick::settingDefinitions()) {
        if (row.type == SettingType::boolean) {
            EXPECT_TRUE(row.defaultValue == "0" || row.defaultValue == "1") << row.key;
        }
        if (row.type == SettingType::integer) {
            EXPECT_NE(tarnwick::settingsInteger(row.defaultValue, -12345), -12345) << row.key;
        }
        if (row.section.empty() || row.keyNamedByReader) continue;
        std::string section(row.section), key(row.key);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(seen.emplace(section, key).second) << section << "/" << row.key;
    }
}

TEST(SettingKeys, MissingFileReadsEveryRowAsItsDefault) {
    TemporaryFolder folder;
    SettingsFile file(folder.file("tarnwick.ini"));
    EXPECT_EQ(file.readText(SettingKey::connectionHost), "");
    EXPECT_EQ(file.readInteger(SettingKey::connectionPort), 6566);
    EXPECT_EQ(file.readText(SettingKey::connectionUser), "PCUSER");
    EXPECT_TRUE(file.readBoolean(SettingKey::connectionGetDevices));
    EXPECT_FALSE(file.keyExists(SettingKey::connectionDevices));
    EXPECT_EQ(file.readInteger(SettingKey::connectionTimeOut), 60000);
    EXPECT_TRUE(file.readBoolean(SettingKey::previewUseMinimum));
    EXPECT_EQ(file.readInteger(SettingKey::previewResolution), 50);
    EXPECT_FALSE(file.readBoolean(SettingKey::scanAutoStart));
    EXPECT_TRUE(file.readBoolean(SettingKey::generalRemoveRegions));
    EXPECT_EQ(file.readText(SettingKey::generalLanguage), "en");
    EXPECT_EQ(file.readInteger(SettingKey::generalEdgeThreshold), 10);
    EXPECT_FALSE(file.readBoolean(SettingKey::generalIniCopyGlobalToUser));
    EXPECT_TRUE(file.readBoolean(SettingKey::adfSinglePage));
    EXPECT_EQ(file.readInteger(SettingKey::adfScanNPages), -1);
    EXPECT_EQ(file.readInteger(SettingKey::saveJpegQuality), 80);
    EXPECT_EQ(file.readInteger(SettingKey::zoveruDeviceCancelType), 1);
    EXPECT_EQ(file.readText(SettingKey::zoveruRemoveWordKey), "");
    EXPECT_EQ(file.readInteger(SettingKey::toolbarsBandWidth, {}, "resolution"), 100);
    EXPECT_EQ(file.readText(SettingKey::deviceEntryUser, "My scanner"), "PCUSER");
    EXPECT_EQ(file.readInteger(SettingKey::deviceEntryPort, "My scanner"), 6566);
    // Every row reads without touching the disk.
    for (const auto& row : tarnwick::settingDefinitions())
        EXPECT_EQ(file.readText(row.id, "entry", "item"), std::string(row.defaultValue));
    EXPECT_FALSE(file.exists());
}

TEST(SettingKeys, StoredValuesOverrideDefaultsAndVariableNamesResolve) {
    TemporaryFolder folder;
    std::string path = folder.file("tarnwick.ini");
    writeWholeFile(path,
                   "[General]\nRemoveRegions=0\nTopMost=1\n[Zoveru]\nRemoveWordKey=Software\\Word\n"
                   "[Toolbars]\nmode=240\n[My scanner]\nDevice=test:0\nOnExit.lamp=off\n");
    SettingsFile file(path);
    EXPECT_FALSE(file.readBoolean(SettingKey::generalRemoveRegions));
    EXPECT_TRUE(file.readBoolean(SettingKey::generalTopMost));
    EXPECT_EQ(file.readText(SettingKey::zoveruRemoveWordKey), "Software\\Word");
    EXPECT_EQ(file.readInteger(SettingKey::toolbarsBandWidth, {}, "mode"), 240);
    EXPECT_EQ(file.readText(SettingKey::deviceEntryDevice, "my scanner"), "test:0");
    EXPECT_EQ(file.readText(SettingKey::deviceEntryOnExit, "My scanner", "lamp"), "off");

    file.writeText(SettingKey::regionsRegion, "1;2;3;4", {}, "0");
    file.writeInteger(SettingKey::toolbarsBandWidth, 120, {}, "depth");
    file.deleteKey(SettingKey::toolbarsBandWidth, {}, "mode");
    EXPECT_EQ(file.readText("Regions", "0", ""), "1;2;3;4");
    EXPECT_EQ(file.readText("Toolbars", "depth", ""), "120");
    EXPECT_FALSE(file.keyExists("Toolbars", "mode"));
}

}  // namespace
