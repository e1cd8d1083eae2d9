#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path_conventions.h"
#include "settings/settings_location.h"
#include "support/settings_folders.h"

namespace {

using tarnwick::openSettingsFile;
using tarnwick::SettingsWriteError;
using testing_support::readWholeFile;
using testing_support::writeWholeFile;

// Every variable the candidates use points into a private folder of the test.
class SettingsLocation : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    SettingsLocation() {
        std::filesystem::create_directories(folder.path() / "APPDATA" / "Tarnwick");
    }

    std::string windir = folder.file("WINDIR/tarnwick.ini");
    std::string allUsers = folder.file("ALLUSERSPROFILE/tarnwick.ini");
    std::string productFile = folder.file("WINDIR/Tarnwick.ini");
    std::string appData = folder.file("APPDATA/Tarnwick/tarnwick.ini");
    std::string user = folder.file("USERPROFILE/tarnwick.ini");
};

TEST_F(SettingsLocation, CandidatesAreTriedInOrder) {
    EXPECT_EQ(tarnwick::globalSettingsCandidates(std::string("Tarnwick")),
              (std::vector<std::string>{windir, allUsers, productFile, appData}));
    EXPECT_EQ(tarnwick::globalSettingsCandidates(std::nullopt),
              (std::vector<std::string>{windir, allUsers, appData}))
        << "no product name, no product candidate";
    EXPECT_EQ(tarnwick::userSettingsCandidate(), user);

    writeWholeFile(appData, "[Connection]\nHost=appdata\n");
    EXPECT_EQ(openSettingsFile()->path(), appData) << "only the last global candidate exists";
    writeWholeFile(allUsers, "[Connection]\nHost=allusers\n");
    EXPECT_EQ(openSettingsFile()->path(), allUsers);
    writeWholeFile(windir, "[Connection]\nHost=windir\n");
    EXPECT_EQ(openSettingsFile()->path(), windir) << "the first candidate wins";
    writeWholeFile(user, "[Connection]\nHost=user\n");
    EXPECT_EQ(openSettingsFile()->readText("Connection", "Host", ""), "windir")
        << "a global file wins over the user file without copy mode";
}

TEST_F(SettingsLocation, UnsetVariablesSkipTheirCandidates) {
    environment.unset("WINDIR");
    writeWholeFile(allUsers, "");
    EXPECT_EQ(tarnwick::globalSettingsCandidates(std::nullopt).front(),
              std::string("%WINDIR%") + platform::folderSeparator() + "tarnwick.ini");
    EXPECT_EQ(openSettingsFile()->path(), allUsers);
}

TEST_F(SettingsLocation, NothingAnywhereNamesTheUserFileAndCreatesNothing) {
    auto file = openSettingsFile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path(), user);
    EXPECT_EQ(file->readInteger("Connection", "Port", 6566), 6566);
    EXPECT_FALSE(std::filesystem::exists(user));
    file->writeText("Connection", "Host", "h");
    EXPECT_TRUE(std::filesystem::exists(user));
}

TEST_F(SettingsLocation, GlobalFileWithoutCopyModeLeavesTheUserFileAlone) {
    for (const char* general : {"[General]\nINICopyGlobalToUser=0\n", "[General]\nTopMost=1\n"}) {
        writeWholeFile(allUsers, general);
        EXPECT_EQ(openSettingsFile()->path(), allUsers);
        EXPECT_FALSE(std::filesystem::exists(user));
    }
}

TEST_F(SettingsLocation, CopyModeSeedsTheUserFileOnce) {
    writeWholeFile(windir,
                   "[General]\nINICopyGlobalToUser=1\nLanguage=de\n"
                   "[Connection]\nHost = scanner \nPort=0x19A6\nDevices=a, b\n"
                   "[Regions]\n0=1;2;3;4\n");
    auto file = openSettingsFile();
    EXPECT_EQ(file->path(), user);
    EXPECT_EQ(file->sectionNames(), (std::vector<std::string>{"General", "Connection", "Regions"}));
    EXPECT_EQ(file->sectionEntries("Connection"),
              (std::vector<tarnwick::SettingsEntry>{
                  {"Host", "scanner"}, {"Port", "0x19A6"}, {"Devices", "a, b"}}));
    EXPECT_EQ(file->readText("Regions", "0", ""), "1;2;3;4");
    EXPECT_TRUE(file->readBoolean("General", "INICopyGlobalToUser", false));

    // Later changes on either side stay apart: the copy is never refreshed.
    file->writeText("General", "Language", "fr");
    writeWholeFile(windir, "[General]\nINICopyGlobalToUser=1\nLanguage=it\n[New]\nx=1\n");
    auto again = openSettingsFile();
    EXPECT_EQ(again->path(), user);
    EXPECT_EQ(again->readText("General", "Language", ""), "fr");
    EXPECT_FALSE(again->sectionExists("New"));
}

TEST_F(SettingsLocation, CopyModeReturnsAnExistingUserFileUnchanged) {
    writeWholeFile(appData, "[General]\nINICopyGlobalToUser=1\n[Connection]\nHost=global\n");
    const std::string mine = "; mine\n[Connection]\nHost=mine\n";
    writeWholeFile(user, mine);
    EXPECT_EQ(openSettingsFile()->path(), user);
    EXPECT_EQ(readWholeFile(user), mine);
}

TEST_F(SettingsLocation, RefusedCopyRaisesTheWriteError) {
    writeWholeFile(windir, "[General]\nINICopyGlobalToUser=1\n");
    std::string missing = folder.file("nowhere");
    environment.set("USERPROFILE", missing);
    try {
        openSettingsFile();
        FAIL() << "the copy was not refused";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + missing + platform::folderSeparator() + "tarnwick.ini");
    }
}

TEST_F(SettingsLocation, HomeStandsInForAnUnsetUserProfileOnLinux) {
    if (platform::folderSeparator() != '/') GTEST_SKIP() << "Windows always has USERPROFILE";
    environment.unset("USERPROFILE");
    EXPECT_EQ(tarnwick::userSettingsCandidate(), folder.file("HOME/tarnwick.ini"));
    EXPECT_EQ(openSettingsFile()->path(), folder.file("HOME/tarnwick.ini"));
}

}  // namespace
