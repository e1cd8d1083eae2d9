// Runs against whichever profile implementation the platform links: ours on Linux, the
// Windows functions under Windows. Only behaviour both share is asserted.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_attributes.h"
#include "platform/profile.h"
#include "support/scoped_environment.h"

namespace {

using platform::ProfileEntry;
using testing_support::readWholeFile;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

class Profile : public ::testing::Test {
  protected:
    std::string read(const std::string& section, const std::string& key) {
        return platform::readProfileString(path, section, key, "<default>");
    }
    TemporaryFolder folder;
    std::string path = folder.file("test.ini");
};

TEST_F(Profile, MissingFileReadsAsDefaultsAndIsNotCreated) {
    EXPECT_EQ(read("Connection", "Port"), "<default>");
    EXPECT_TRUE(platform::profileSectionNames(path).empty());
    EXPECT_TRUE(platform::profileKeyNames(path, "Connection").empty());
    EXPECT_TRUE(platform::profileSectionEntries(path, "Connection").empty());
    EXPECT_FALSE(platform::fileExists(path));
}

TEST_F(Profile, ReadsTheWayWindowsIniFilesRead) {
    writeWholeFile(path,
                   "; a comment=not a key\r\n"
                   "\r\n"
                   "[Connection]\r\n"
                   "  Host  =  scanner.local  \r\n"
                   "; Port=1\r\n"
                   "Port=6566\r\n"
                   "Port=7777\r\n"
                   "just some words\r\n"
                   "Equation=a=b\r\n"
                   "Empty=\r\n"
                   "Quoted=\"  spaced  \"\r\n"
                   "Single='x'\r\n"
                   "HalfQuoted=\"x\r\n"
                   "\r\n"
                   "[Other]\r\n"
                   "Host=other\r\n");
    EXPECT_EQ(read("Connection", "Host"), "scanner.local");
    EXPECT_EQ(read("Connection", "Port"), "6566") << "the first of duplicate keys wins";
    EXPECT_EQ(read("Connection", "Equation"), "a=b");
    EXPECT_EQ(read("Connection", "Empty"), "");
    EXPECT_EQ(read("Connection", "Quoted"), "  spaced  ");
    EXPECT_EQ(read("Connection", "Single"), "x");
    EXPECT_EQ(read("Connection", "HalfQuoted"), "\"x");
    EXPECT_EQ(read("Connection", "Missing"), "<default>");
    EXPECT_EQ(read("Other", "Host"), "other");
    EXPECT_EQ(read("Nowhere", "Host"), "<default>");
}

TEST_F(Profile, OnlyTheFirstOfRepeatedSectionsIsRead) {
    writeWholeFile(path, "[A]\nx=1\n[B]\nz=3\n[a]\ny=2\nx=9\n");
    EXPECT_EQ(read("A", "x"), "1");
    EXPECT_EQ(read("A", "y"), "<default>");
    EXPECT_EQ(platform::profileKeyNames(path, "A"), std::vector<std::string>{"x"});
    EXPECT_EQ(platform::profileSectionEntries(path, "A"), (std::vector<ProfileEntry>{{"x", "1"}}));
    ASSERT_TRUE(platform::writeProfileString(path, "A", "x", "2"));
    EXPECT_EQ(read("A", "x"), "2");
    EXPECT_EQ(read("B", "z"), "3");
}

TEST_F(Profile, NamesCompareWithoutRegardToCase) {
    writeWholeFile(path, "[General]\nTopMost=1\n");
    EXPECT_EQ(read("GENERAL", "topmost"), "1");
    EXPECT_EQ(read("general", "TOPMOST"), "1");
    ASSERT_TRUE(platform::writeProfileString(path, "GENERAL", "TOPMOST", "0"));
    EXPECT_EQ(read("General", "TopMost"), "0");
    EXPECT_EQ(platform::profileSectionNames(path), std::vector<std::string>{"General"});
    EXPECT_EQ(platform::profileKeyNames(path, "general").size(), 1u) << "updated, not added";
}

TEST_F(Profile, ValuesAreCutAfter2047Characters) {
    std::string exact(platform::kProfileValueLimit, 'a');
    std::string longer(3000, 'b');
    writeWholeFile(path, "[Long]\nExact=" + exact + "\nLonger=" + longer + "\nAfter=ok\n");
    EXPECT_EQ(read("Long", "Exact"), exact);
    EXPECT_EQ(read("Long", "Longer"), std::string(platform::kProfileValueLimit, 'b'));
    EXPECT_EQ(read("Long", "After"), "ok");
    EXPECT_EQ(platform::readProfileString(path, "Long", "Missing", longer),
              std::string(platform::kProfileValueLimit, 'b'))
        << "the default goes through the same buffer";
}

TEST_F(Profile, WritingCreatesFileSectionAndKeyAndKeepsTheRest) {
    ASSERT_TRUE(platform::writeProfileString(path, "Connection", "Host", "first"));
    EXPECT_EQ(read("Connection", "Host"), "first");

    writeWholeFile(path,
                   "; keep this comment\n"
                   "[Connection]\n"
                   "Host=first\n"
                   "a line without equals\n"
                   "\n"
                   "[Preview]\n"
                   "Resolution=50\n");
    ASSERT_TRUE(platform::writeProfileString(path, "Connection", "Host", "second"));
    ASSERT_TRUE(platform::writeProfileString(path, "Connection", "Port", "6566"));
    ASSERT_TRUE(platform::writeProfileString(path, "Scan", "AutoStart", "1"));

    EXPECT_EQ(read("Connection", "Host"), "second");
    EXPECT_EQ(read("Connection", "Port"), "6566");
    EXPECT_EQ(read("Preview", "Resolution"), "50");
    EXPECT_EQ(read("Scan", "AutoStart"), "1");
    std::string text = readWholeFile(path);
    EXPECT_NE(text.find("; keep this comment"), std::string::npos);
    EXPECT_NE(text.find("a line without equals"), std::string::npos);
    EXPECT_EQ(text.find("first"), std::string::npos);
    EXPECT_EQ(platform::profileSectionNames(path),
              (std::vector<std::string>{"Connection", "Preview", "Scan"}));
    EXPECT_EQ(platform::profileKeyNames(path, "Connection"),
              (std::vector<std::string>{"Host", "Port"}));
}

TEST_F(Profile, WindowsLineEndsStayWindowsLineEnds) {
    writeWholeFile(path, "[General]\r\nTopMost=1\r\n");
    ASSERT_TRUE(platform::writeProfileString(path, "General", "Language", "de"));
    ASSERT_TRUE(platform::writeProfileString(path, "Scan", "AutoStart", "1"));
    std::string text = readWholeFile(path);
    EXPECT_NE(text.find("TopMost=1\r\nLanguage=de\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("AutoStart=1\r\n"), std::string::npos) << text;
}

TEST_F(Profile, SectionEntriesComeInFileOrder) {
    writeWholeFile(path, "[Regions]\n1=a;b\n0=c\nDefault=Find fit\n[Other]\nx=y\n");
    EXPECT_EQ(platform::profileSectionEntries(path, "regions"),
              (std::vector<ProfileEntry>{{"1", "a;b"}, {"0", "c"}, {"Default", "Find fit"}}));
    EXPECT_EQ(platform::profileSectionNames(path), (std::vector<std::string>{"Regions", "Other"}));
}

TEST_F(Profile, DeletesKeysAndErasesSections) {
    writeWholeFile(path, "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ASSERT_TRUE(platform::deleteProfileKey(path, "a", "X"));
    ASSERT_TRUE(platform::deleteProfileKey(path, "A", "not there"));
    ASSERT_TRUE(platform::eraseProfileSection(path, "b"));
    EXPECT_EQ(read("A", "x"), "<default>");
    EXPECT_EQ(read("A", "y"), "2");
    EXPECT_EQ(read("B", "z"), "<default>");
    EXPECT_EQ(read("C", "w"), "4");
    EXPECT_EQ(platform::profileSectionNames(path), (std::vector<std::string>{"A", "C"}));
}

TEST_F(Profile, EditsByOthersAreSeenAtTheNextRead) {
    writeWholeFile(path, "[General]\nLanguage=de\n");
    EXPECT_EQ(read("General", "Language"), "de");
    writeWholeFile(path, "[General]\nLanguage=fr\n");
    EXPECT_EQ(read("General", "Language"), "fr");
}

TEST_F(Profile, ReadOnlyFileRefusesWritesAndStaysUnchanged) {
    const std::string content = "[General]\nTopMost=1\n";
    writeWholeFile(path, content);
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_TRUE(platform::fileIsReadOnly(path));
    EXPECT_FALSE(platform::writeProfileString(path, "General", "TopMost", "0"));
    EXPECT_FALSE(platform::eraseProfileSection(path, "General"));
    EXPECT_EQ(read("General", "TopMost"), "1");
    EXPECT_EQ(readWholeFile(path), content);
}

TEST_F(Profile, MissingFolderRefusesWrites) {
    std::string inMissingFolder = folder.file("no such folder/test.ini");
    EXPECT_FALSE(platform::writeProfileString(inMissingFolder, "General", "TopMost", "1"));
    EXPECT_FALSE(platform::fileExists(inMissingFolder));
}

TEST_F(Profile, MalformedFilesAreSurvived) {
    std::string garbage = "[General\nTopMost=1\n]]]\n[\n=novalue\n\xff\xfe\x01\x02\n";
    garbage +=
        std::string(1, '\0') + "junk\n" + std::string(100000, 'x') + "\n[Scan]\nAutoStart=1\n";
    writeWholeFile(path, garbage);
    EXPECT_EQ(read("Scan", "AutoStart"), "1");
    EXPECT_EQ(read("Nothing", "Here"), "<default>");
    EXPECT_TRUE(platform::writeProfileString(path, "Scan", "AutoStart", "0"));
    EXPECT_EQ(read("Scan", "AutoStart"), "0");
}

TEST(FileAttributes, TellFilesFromFoldersAndMissingPaths) {
    TemporaryFolder folder;
    std::string file = folder.file("a.ini");
    writeWholeFile(file, "");
    EXPECT_TRUE(platform::fileExists(file));
    EXPECT_FALSE(platform::fileIsReadOnly(file));
    EXPECT_FALSE(platform::fileExists(folder.path().string()));
    EXPECT_FALSE(platform::fileExists(folder.file("b.ini")));
    EXPECT_FALSE(platform::fileIsReadOnly(folder.file("b.ini")));
}

}  // namespace
