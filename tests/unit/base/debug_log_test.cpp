// The debug log file: off by default, sessions appended, lines exactly as formatted.
#include "base/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class DebugLog : public ::testing::Test {
  protected:
    void SetUp() override {
        if (debugLogEnabled()) GTEST_SKIP() << "this build logs from load";
        folder =
            fs::temp_directory_path() /
            ("tarnwick-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        stopDebugLog();
        fs::remove_all(folder);
    }
    // Read as text: the log is a text file, with the platform's line ends.
    std::string logText() const {
        std::ifstream in(folder / "tarnwick.dbg");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path folder;
};

TEST_F(DebugLog, TwoSessionsAccumulateInOneFileEachOpenedAndEnded) {
    startDebugLog(folder);
    ASSERT_TRUE(debugLogEnabled());
    debugLog("Opening socket on port %d\n", 6566);
    debugLog(std::string("\tMessage was : '%s'"), "Unknown host");  // no line end is added
    debugLog("\n");
    stopDebugLog();
    EXPECT_FALSE(debugLogEnabled());
    startDebugLog(folder);
    debugLog("Backend reported no more pages.\n");
    stopDebugLog();
    EXPECT_EQ(logText(),
              "Debug session started. Version is v1.37\n"
              "Opening socket on port 6566\n"
              "\tMessage was : 'Unknown host'\n"
              "Debug session ended\n\n"
              "Debug session started. Version is v1.37\n"
              "Backend reported no more pages.\n"
              "Debug session ended\n\n");
}

TEST_F(DebugLog, FormatAndArgumentsAreWrittenInUtf8Alike) {
    startDebugLog(folder);
    debugLog(
        "Gr\xC3\xB6\xC3\x9F"
        "e: %s\n",
        "\xC3\xBC\xE2\x82\xAC");
    stopDebugLog();
    EXPECT_NE(logText().find("Gr\xC3\xB6\xC3\x9F"
                             "e: \xC3\xBC\xE2\x82\xAC\n"),
              std::string::npos);
}

TEST_F(DebugLog, StartingTwiceOrStoppingTwiceWritesNoExtraLines) {
    startDebugLog(folder);
    startDebugLog(folder);
    stopDebugLog();
    stopDebugLog();
    EXPECT_EQ(logText(), "Debug session started. Version is v1.37\nDebug session ended\n\n");
}

TEST_F(DebugLog, WhenOffNothingIsWrittenAndNoFileAppears) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder);  // the log's name alone names a file here
    debugLog("Starting full scan\n");
    { DebugLogSession off(false); }
    fs::current_path(previous);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(DebugLog, ASessionObjectLogsInTheCurrentFolderForItsLifetime) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    {
        DebugLogSession session(true);
        debugLog("Message logged: %s\n", "Ready");
    }
    fs::current_path(previous);
    EXPECT_FALSE(debugLogEnabled());
    EXPECT_EQ(logText(),
              "Debug session started. Version is v1.37\nMessage logged: Ready\n"
              "Debug session ended\n\n");
}

TEST_F(DebugLog, AnUnwritableFolderLeavesLoggingOff) {
    startDebugLog(folder / "missing" / "deeper");
    EXPECT_FALSE(debugLogEnabled());
    debugLog("dropped %d\n", 1);
}

}  // namespace
}  // namespace tarnwick
