#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_file.h"
#include "support/scoped_environment.h"

namespace {

using tarnwick::SettingsFile;
using tarnwick::SettingsWriteError;
using testing_support::readWholeFile;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

class SettingsFileTest : public ::testing::Test {
  protected:
    TemporaryFolder folder;
    std::string path = folder.file("tarnwick.ini");
    SettingsFile file{path};
};

TEST_F(SettingsFileTest, IntegersReadAsDecimalOrHexadecimal) {
    writeWholeFile(
        path,
        "[N]\nplain=42\nnegative=-17\nplus=+5\nhex=0x1F\nupper=0XfF\nallbits=0xFFFFFFFF\n"
        "bare0x=0x\nhexjunk=0x1G\ntoobighex=0x100000000\ntoobig=2147483648\n"
        "words=12abc\nempty=\nspaced=\" 7\"\n");
    auto read = [&](const char* key) { return file.readInteger("N", key, -99); };
    EXPECT_EQ(read("plain"), 42);
    EXPECT_EQ(read("negative"), -17);
    EXPECT_EQ(read("plus"), 5);
    EXPECT_EQ(read("hex"), 31);
    EXPECT_EQ(read("upper"), 255);
    EXPECT_EQ(read("allbits"), -1);
    EXPECT_EQ(read("bare0x"), -99) << "\"0x\" alone is two characters, so decimal, so no number";
    EXPECT_EQ(read("hexjunk"), -99);
    EXPECT_EQ(read("toobighex"), -99);
    EXPECT_EQ(read("toobig"), -99);
    EXPECT_EQ(read("words"), -99);
    EXPECT_EQ(read("empty"), -99);
    EXPECT_EQ(read("spaced"), -99);
    EXPECT_EQ(read("missing"), -99);
}

TEST_F(SettingsFileTest, BooleansAreIntegersOtherThanZero) {
    writeWholeFile(path, "[B]\none=1\nzero=0\ntwo=2\nhex=0x0\nword=true\n");
    EXPECT_TRUE(file.readBoolean("B", "one", false));
    EXPECT_FALSE(file.readBoolean("B", "zero", true));
    EXPECT_TRUE(file.readBoolean("B", "two", false));
    EXPECT_FALSE(file.readBoolean("B", "hex", true));
    EXPECT_TRUE(file.readBoolean("B", "word", true)) << "no number: the default";
    EXPECT_FALSE(file.readBoolean("B", "word", false));
    EXPECT_TRUE(file.readBoolean("B", "missing", true));
}

TEST_F(SettingsFileTest, WritesGoThroughToTheFileAsText) {
    file.writeInteger("Connection", "Port", 6566);
    file.writeBoolean("General", "TopMost", true);
    file.writeBoolean("General", "SaveRegions", false);
    file.writeText("Connection", "Host", "scanner");
    SettingsFile other(path);
    EXPECT_EQ(other.readText("Connection", "Port", ""), "6566");
    EXPECT_EQ(other.readText("General", "TopMost", ""), "1");
    EXPECT_EQ(other.readText("General", "SaveRegions", ""), "0");
    EXPECT_EQ(other.readText("Connection", "Host", ""), "scanner");
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsCreatedOnlyByAWrite) {
    EXPECT_FALSE(file.exists());
    EXPECT_FALSE(file.isReadOnly());
    EXPECT_EQ(file.readInteger("Connection", "Port", 6566), 6566);
    EXPECT_EQ(file.readText("Connection", "Host", "none"), "none");
    EXPECT_FALSE(file.sectionExists("Connection"));
    EXPECT_FALSE(file.keyExists("Connection", "Host"));
    EXPECT_TRUE(file.sectionNames().empty());
    EXPECT_FALSE(file.exists());
    file.writeText("Connection", "Host", "h");
    EXPECT_TRUE(file.exists());
}

TEST_F(SettingsFileTest, PresenceTestsIgnoreCase) {
    writeWholeFile(path, "[Connection]\nDevices=a, b\nEmpty=\n[Toolbars]\n");
    EXPECT_TRUE(file.sectionExists("connection"));
    EXPECT_TRUE(file.sectionExists("TOOLBARS")) << "a section without keys still exists";
    EXPECT_FALSE(file.sectionExists("Preview"));
    EXPECT_TRUE(file.keyExists("CONNECTION", "devices"));
    EXPECT_TRUE(file.keyExists("Connection", "Empty")) << "an empty value is present";
    EXPECT_FALSE(file.keyExists("Connection", "Host"));
    file.deleteKey("connection", "DEVICES");
    file.eraseSection("toolbars");
    EXPECT_FALSE(file.keyExists("Connection", "Devices"));
    EXPECT_FALSE(file.sectionExists("Toolbars"));
}

TEST_F(SettingsFileTest, RefusedWritesRaiseTheWriteErrorWithThePath) {
    writeWholeFile(path, "[General]\nTopMost=1\n");
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_TRUE(file.isReadOnly());
    try {
        file.writeBoolean("General", "TopMost", false);
        FAIL() << "the write was not refused";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_THROW(file.eraseSection("General"), SettingsWriteError);
    EXPECT_THROW(file.deleteKey("General", "TopMost"), SettingsWriteError);
    EXPECT_TRUE(file.readBoolean("General", "TopMost", false));

    SettingsFile nowhere(folder.file("missing/tarnwick.ini"));
    EXPECT_THROW(nowhere.writeText("A", "b", "c"), SettingsWriteError);
}

}  // namespace
