#include "session/moved_device.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(MovedDevice, OnlyOneDeviceOfTheSameBackendAndIdentityIsTheSavedOne) {
    const DeviceRecord epson{"epson2:libusb:001:005", "Epson", "GT-1500", "flatbed scanner"};
    const DeviceRecord other{"epson2:libusb:001:006", "Epson", "GT-2500", "flatbed scanner"};
    const DeviceRecord twin{"epson2:libusb:002:003", "Epson", "GT-1500", "flatbed scanner"};
    const DeviceRecord elsewhere{"epsonds:libusb:001:005", "Epson", "GT-1500", "flatbed scanner"};
    const std::string saved = "epson2:libusb:001:004";
    const std::string identity = "Epson|GT-1500|flatbed scanner";
    struct Case {
        const char* what;
        std::string identity;
        std::vector<DeviceRecord> listed;
        std::optional<std::string> found;
    };
    const Case cases[] = {
        {"moved", identity, {other, epson}, epson.name},
        {"still listed", identity, {epson, {saved, "Epson", "GT-1500", "flatbed scanner"}}, {}},
        {"two alike", identity, {epson, twin}, {}},
        {"another backend", identity, {elsewhere}, {}},
        {"another model", identity, {other}, {}},
        {"identity unknown", "", {epson}, {}},
        {"no model to tell",
         "Epson||flatbed scanner",
         {{"epson2:x", "Epson", "", "flatbed scanner"}},
         {}},
        {"nothing listed", identity, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(movedDevice(saved, c.identity, c.listed), c.found) << c.what;
    EXPECT_EQ(deviceIdentity(epson), identity);
}

}  // namespace
}  // namespace tarnwick
