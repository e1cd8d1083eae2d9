// A saved device that the daemon now lists under another name, as a USB scanner plugged into
// another port is: found again by what it is, with its saved values.
#include <fstream>

#include "integration/acquire_support.h"
#include "settings/settings_file.h"

namespace tarnwick::testing {
namespace {

TEST_F(AcquireTest, ASavedDeviceUnderANewNameIsFoundWithItsValues) {
    std::ofstream(saned_.configDir() + "/test.conf", std::ios::app) << "number_of_devices 1\n";
    settings_ = "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned_.port()) +
                "\nDevice=test:7\n[test:7]\nIdentity=Noname|frontend-tester|virtual device\n"
                "mode=Color\n";
    ASSERT_EQ(acquire("--resolution 50"), 0) << lines;
    EXPECT_NE(lines.find("pixel type rgb"), std::string::npos) << lines;
    SettingsFile file(settingsPath());
    EXPECT_EQ(file.readText("Connection", "Device", ""), "test:0");
    EXPECT_EQ(file.readText("test:0", "mode", ""), "Color");
    EXPECT_FALSE(file.sectionExists("test:7"));

    // Two devices alike: neither is taken for the saved one.
    std::ofstream(saned_.configDir() + "/test.conf", std::ios::app) << "number_of_devices 2\n";
    settings_ = "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned_.port()) +
                "\nDevice=test:7\n[test:7]\nIdentity=Noname|frontend-tester|virtual device\n";
    EXPECT_NE(acquire("--resolution 50"), 0) << lines;
    EXPECT_EQ(SettingsFile(settingsPath()).readText("Connection", "Device", ""), "test:7");
}

}  // namespace
}  // namespace tarnwick::testing
