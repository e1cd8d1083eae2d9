#include "twain/remove_word_key_setting.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/settings_folders.h"

using tarnwick::removeWordKeySetting;

// The entry point's clean-up key comes from the settings file the source finds.
TEST(RemoveWordKeySetting, ReadsTheKeyFromTheSettingsFile) {
    const testing_support::SettingsFolders folders;
    EXPECT_EQ(removeWordKeySetting(), "");
    EXPECT_FALSE(std::filesystem::exists(folders.settingsPath()));
    folders.writeSettings("[Zoveru]\r\nRemoveWordKey = Software\\Vendor\\Word Add-in\r\n");
    EXPECT_EQ(removeWordKeySetting(), "Software\\Vendor\\Word Add-in");
}
