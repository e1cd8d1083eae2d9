// The built module as a Data Source Manager sees it: loaded by path, reached through DS_Entry.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/library.h"
#include "twain/records.h"

namespace {

using DSENTRYPROC = TW_UINT16(TW_CALLINFO*)(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16,
                                            TW_MEMREF);

class Module : public ::testing::Test {
  protected:
    void SetUp() override {
        library = platform::loadLibrary(TARNWICK_MODULE_PATH);
        ASSERT_NE(library, nullptr) << platform::lastLibraryError();
        entry = reinterpret_cast<DSENTRYPROC>(platform::findFunction(library, "DS_Entry"));
        ASSERT_NE(entry, nullptr);
    }
    platform::LibraryHandle library = nullptr;
    DSENTRYPROC entry = nullptr;
    TW_IDENTITY application{};
};

TEST_F(Module, AnswersItsIdentityAndSurvivesNullPointers) {
    TW_IDENTITY identity{};
    identity.Id = 3;
    ASSERT_EQ(entry(&application, DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 3u);
    EXPECT_EQ(identity.Version.MajorNum, 1);
    EXPECT_EQ(identity.Version.MinorNum, 37);
    EXPECT_STREQ(identity.Version.Info, "Version 1.37");
    EXPECT_EQ(identity.ProtocolMajor, 2);
    EXPECT_EQ(identity.ProtocolMinor, 4);
    // A packed field: copied. DF_DS2 asks a TWAIN 2 manager for DAT_ENTRYPOINT.
    EXPECT_EQ(TW_UINT32{identity.SupportedGroups}, DG_CONTROL | DG_IMAGE | DF_DS2);
    EXPECT_STREQ(identity.Manufacturer, "Tarnwick project");
    EXPECT_STREQ(identity.ProductFamily, "Tarnwick bridge");
    EXPECT_STREQ(identity.ProductName, "Tarnwick");

    EXPECT_EQ(entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    TW_EVENT event{nullptr, MSG_NULL};
    EXPECT_EQ(entry(nullptr, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
}

// The module keeps its internals to itself, so a host exporting functions of the same names
// (the harness does) cannot take over its calls.
TEST_F(Module, ExportsNoInternalSymbols) {
    EXPECT_EQ(platform::findFunction(library, "_ZN8platform14moduleFilePathB5cxx11Ev"), nullptr);
    EXPECT_EQ(platform::findFunction(library, "_ZN8tarnwick7dsEntryEP11TW_IDENTITYjttPv"), nullptr);
}

TEST(Harness, PrintsTheIdentityOfTheBuiltModule) {
    const std::string command =
        std::string(TARNWICK_BINARY_DIR "/tarnwick-scan identity ") + TARNWICK_MODULE_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output,
              "Version 1.37 (1.37), protocol 2.4, groups 0x40000003\n"
              "Manufacturer: Tarnwick project\n"
              "Product family: Tarnwick bridge\n"
              "Product name: Tarnwick\n");
}

TEST(Harness, FailsClearlyForAFileThatIsNoDataSource) {
    const std::string command =
        std::string(TARNWICK_BINARY_DIR "/tarnwick-scan identity /nonexistent.ds 2>&1");
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    EXPECT_NE(pclose(pipe), 0);
    EXPECT_NE(output.find("cannot load the data source /nonexistent.ds"), std::string::npos)
        << output;
}

}  // namespace
