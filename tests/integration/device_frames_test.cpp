// Frames from the test devices of a real saned: three-pass, hand scanner, feeder, cancel.
#include <algorithm>
#include <chrono>
#include <thread>

#include "integration/device_support.h"

namespace tarnwick::testing {
namespace {

using DeviceFrames = SanedTest;

TEST_F(DeviceFrames, ThreePassSendsRedGreenBlueFrames) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    smallArea(*device);
    setString(*device, "mode", "Color");
    setBool(*device, "three-pass", true);
    // The test backend already counts the next pass when it answers the parameters after a
    // start, so the frame kinds come rotated; each one still comes once, and one is the last.
    std::vector<Word> formats;
    int lastFrames = 0;
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_TRUE(device->start());
        const Parameters& p = device->parameters();
        formats.push_back(p.format);
        lastFrames += p.lastFrame != 0;
        EXPECT_EQ(readFrame(*device), static_cast<long long>(p.bytesPerLine) * p.lines);
    }
    std::sort(formats.begin(), formats.end());
    EXPECT_EQ(formats, (std::vector<Word>{SANE_FRAME_RED, SANE_FRAME_GREEN, SANE_FRAME_BLUE}));
    EXPECT_EQ(lastFrames, 1);
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceFrames, HandScannerFrameHasUnknownLength) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    smallArea(*device);
    setBool(*device, "hand-scanner", true);
    EXPECT_EQ(device->parameters().lines, -1);
    ASSERT_TRUE(device->start());
    Word bytesPerLine = device->parameters().bytesPerLine;
    long long total = readFrame(*device);
    EXPECT_GT(total, 0);
    EXPECT_EQ(total % bytesPerLine, 0);
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceFrames, FeederGivesTenPagesThenNoDocuments) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    smallArea(*device);
    setString(*device, "source", "Automatic Document Feeder");
    for (int page = 0; page < 10; ++page) {
        ASSERT_TRUE(device->start()) << page;
        EXPECT_GT(readFrame(*device), 0);
    }
    reports.clear();
    EXPECT_FALSE(device->start());
    EXPECT_TRUE(reports.empty());  // an empty feeder is no error
}

TEST_F(DeviceFrames, CancelInTheMiddleOfAFrameThenStartAgain) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    setNumber(*device, "resolution", 100);
    ASSERT_TRUE(device->start());
    long long expected =
        static_cast<long long>(device->parameters().bytesPerLine) * device->parameters().lines;
    std::vector<std::uint8_t> buffer(64);
    std::size_t length = 0;
    ASSERT_TRUE(device->readData(buffer.data(), buffer.size(), length));
    device->cancel();
    // The backend finishes a cancelled read in the background and may refuse a start until then,
    // so a refused start is repeated for a while; the connection itself must stay sound.
    const auto fatal = [this] {
        return std::any_of(reports.begin(), reports.end(), [](const Report& r) { return r.fatal; });
    };
    bool started = device->start();
    for (int attempt = 0; !started && attempt < 50 && !fatal(); ++attempt) {
        reports.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        started = device->start();
    }
    if (!started && saned_.diedOfSignal())
        GTEST_SKIP() << "saned quit on a signal from its backend's reader after the cancel";
    ASSERT_TRUE(started) << (reports.empty() ? std::string("no report") : reports.back().message);
    EXPECT_EQ(readFrame(*device), expected);
    EXPECT_FALSE(anyError());
}

// Cancelling a large frame early and late leaves saned and the connection sound: the next
// scan on the same connection works.
TEST_F(DeviceFrames, CancelledLargeFramesLeaveTheConnectionUsable) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    setString(*device, "mode", "Color");
    setNumber(*device, "resolution", 600);
    setNumber(*device, "br-x", 200);  // the whole bed: 67 MB
    setNumber(*device, "br-y", 200);
    std::vector<std::uint8_t> buffer(1 << 16);
    for (long long cancelAfter : {1LL << 20, 50LL << 20}) {
        ASSERT_TRUE(device->start()) << cancelAfter;
        long long read = 0;
        std::size_t length = 0;
        while (read < cancelAfter && device->readData(buffer.data(), buffer.size(), length))
            read += static_cast<long long>(length);
        ASSERT_GE(read, cancelAfter);
        device->cancel();
        ASSERT_FALSE(saned_.diedOfSignal()) << cancelAfter;
    }
    setNumber(*device, "resolution", 50);
    ASSERT_TRUE(device->start());
    const Parameters& p = device->parameters();
    EXPECT_EQ(readFrame(*device), static_cast<long long>(p.bytesPerLine) * p.lines);
    EXPECT_FALSE(anyError());
    EXPECT_FALSE(saned_.diedOfSignal());
}

}  // namespace
}  // namespace tarnwick::testing
