// Real scanners' failures through the real saned and the replay backend, by the harness without
// user interface: each status the device answers is the application's condition code, a device
// busy for a moment at its start is waited out, and a scanner whose bus address changed is found
// again by what it is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "settings/settings_file.h"
#include "support/saned_fixture.h"
#include "support/settings_folders.h"

namespace tarnwick::testing {
namespace {

namespace fs = std::filesystem;

fs::path listing(const char* name) {
    return fs::path(TARNWICK_SOURCE_DIR) / ".." / "shared" / "devices" / name;
}

class ReplayFailures : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    void startDaemon(const char* file, const std::string& name,
                     std::vector<std::pair<std::string, std::string>> environment = {}) {
        SanedSetup setup;
        setup.replayListing = listing(file).string();
        environment.emplace_back("SANE_REPLAY_NAME", name);
        setup.environment = std::move(environment);
        saned_.reset();
        saned_ = std::make_unique<SanedFixture>(setup);
        ASSERT_TRUE(saned_->running()) << saned_->error();
    }
    void settings(const std::string& device, const std::string& more = "") {
        std::ofstream(settingsPath()) << "[Connection]\nHost=127.0.0.1\nPort=" << saned_->port()
                                      << "\nDevice=" << device << "\n"
                                      << more;
    }
    // `tarnwick-scan acquire` at 50 dpi with the arguments: its exit status; its report in `log_`.
    int acquire(const std::string& arguments) {
        const std::string out = folder.file("out"), log = folder.file("acquire.log");
        const std::string command = std::string(TARNWICK_BINARY_DIR) + "/tarnwick-scan acquire " +
                                    TARNWICK_MODULE_PATH + " --format pnm --resolution 50 --out " +
                                    out + " " + arguments + " >" + log + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        log_ = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool enableFailedWith(const std::string& condition) const {
        return log_.find("MSG_ENABLEDS: TWRC_FAILURE, " + condition) != std::string::npos;
    }

    std::unique_ptr<SanedFixture> saned_;
    std::string log_;
};

const char* const kFlatbed = "26-genesys-lide100.txt";
const char* const kFlatbedName = "genesys:libusb:001:004";

TEST_F(ReplayFailures, EachStatusOfTheDeviceIsItsCondition) {
    struct Case {
        const char* status;
        const char* condition;
    };
    const Case cases[] = {
        {"JAMMED", "TWCC_PAPERJAM"},
        {"COVER_OPEN", "TWCC_INTERLOCK"},
        {"IO_ERROR", "TWCC_CHECKDEVICEONLINE"},
        {"DEVICE_BUSY", "TWCC_CHECKDEVICEONLINE"},
        {"ACCESS_DENIED", "TWCC_DENIED"},
        {"NO_MEM", "TWCC_LOWMEMORY"},
    };
    for (const Case& c : cases) {
        for (const char* mechanism : {"--native", "--memory"}) {
            SCOPED_TRACE(std::string(c.status) + " " + mechanism);
            ASSERT_NO_FATAL_FAILURE(
                startDaemon(kFlatbed, kFlatbedName, {{"SANE_REPLAY_STATUS", c.status}}));
            settings(kFlatbedName);
            EXPECT_EQ(acquire(mechanism), 1);
            EXPECT_TRUE(enableFailedWith(c.condition)) << log_;
            // The source stayed closable.
            EXPECT_EQ(log_.find("MSG_CLOSEDS: TWRC_FAILURE"), std::string::npos) << log_;
        }
    }
}

TEST_F(ReplayFailures, AnEmptyFeederAtTheFirstPageIsNoMedia) {
    ASSERT_NO_FATAL_FAILURE(startDaemon("03-fujitsu-scansnap-s1500.txt", "fujitsu:S1500:1",
                                        {{"SANE_REPLAY_PAGES", "0"}}));
    settings("fujitsu:S1500:1");
    EXPECT_EQ(acquire("--feeder"), 1);
    EXPECT_TRUE(enableFailedWith("TWCC_NOMEDIA")) << log_;
}

TEST_F(ReplayFailures, ADeviceBusyForAMomentIsWaitedOutAndLongerIsOffline) {
    ASSERT_NO_FATAL_FAILURE(
        startDaemon(kFlatbed, kFlatbedName, {{"SANE_REPLAY_STATUS", "DEVICE_BUSY:1000"}}));
    settings(kFlatbedName);
    EXPECT_EQ(acquire("--pixel-type gray"), 0) << log_;
    EXPECT_NE(log_.find("image 1:"), std::string::npos) << log_;

    ASSERT_NO_FATAL_FAILURE(
        startDaemon(kFlatbed, kFlatbedName, {{"SANE_REPLAY_STATUS", "DEVICE_BUSY:10000"}}));
    settings(kFlatbedName);
    EXPECT_EQ(acquire("--pixel-type gray"), 1);
    EXPECT_TRUE(enableFailedWith("TWCC_CHECKDEVICEONLINE")) << log_;
}

// The same scanner, plugged into another port: its saved values go with it.
TEST_F(ReplayFailures, AScannerOnAnotherBusAddressKeepsItsSavedValues) {
    ASSERT_NO_FATAL_FAILURE(startDaemon(kFlatbed, kFlatbedName));
    settings(kFlatbedName);
    ASSERT_EQ(acquire("--pixel-type gray"), 0) << log_;
    SettingsFile(settingsPath()).writeText(kFlatbedName, "mode", "Color");

    ASSERT_NO_FATAL_FAILURE(startDaemon(kFlatbed, "genesys:libusb:002:009"));
    {
        // The port changes; the rest of the file is what the first scan left.
        SettingsFile file(settingsPath());
        file.writeInteger("Connection", "Port", saned_->port());
    }
    ASSERT_EQ(acquire(""), 0) << log_;
    EXPECT_NE(log_.find("pixel type rgb"), std::string::npos) << log_;
    SettingsFile file(settingsPath());
    EXPECT_EQ(file.readText("Connection", "Device", ""), "genesys:libusb:002:009");
    EXPECT_EQ(file.readText("genesys:libusb:002:009", "mode", ""), "Color");
    EXPECT_FALSE(file.sectionExists(kFlatbedName));
}

}  // namespace
}  // namespace tarnwick::testing
