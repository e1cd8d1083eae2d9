#include "twain/remove_word_key_setting.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scoped_environment.h"

using tarnwick::removeWordKeySetting;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

// The entry point's clean-up key comes from the settings file the source finds.
TEST(RemoveWordKeySetting, ReadsTheKeyFromTheSettingsFile) {
    TemporaryFolder folder;
    ScopedEnvironment environment;
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "USERPROFILE", "HOME"}) {
        std::filesystem::create_directories(folder.path() / name);
        environment.set(name, folder.file(name));
    }
    EXPECT_EQ(removeWordKeySetting(), "");
    EXPECT_FALSE(std::filesystem::exists(folder.file("USERPROFILE/tarnwick.ini")));
    writeWholeFile(folder.file("USERPROFILE/tarnwick.ini"),
                   "[Zoveru]\r\nRemoveWordKey = Software\\Vendor\\Word Add-in\r\n");
    EXPECT_EQ(removeWordKeySetting(), "Software\\Vendor\\Word Add-in");
}
