// A whole scan through the session alone, against the scripted daemon: no window exists.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sane/socket_stream.h"
#include "session/scan_policy.h"
#include "session/scan_session.h"
#include "support/fake_daemon.h"

namespace tarnwick::testing {
namespace {

constexpr Word kHandle = 7;
constexpr int kWidth = 4, kLines = 3;

// The options: the count, then the four edges of a 100 mm square bed.
Bytes descriptorsReply() {
    Wire wire;
    wire.word(5);
    wire.word(0).string("").string("Number of options").string("").word(SANE_TYPE_INT);
    wire.word(SANE_UNIT_NONE).word(4).word(SANE_CAP_SOFT_DETECT).word(SANE_CONSTRAINT_NONE);
    for (const char* edge : {"tl-x", "tl-y", "br-x", "br-y"}) {
        wire.word(0).string(edge).string(edge).string("").word(SANE_TYPE_INT).word(SANE_UNIT_MM);
        wire.word(4).word(SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT);
        wire.word(SANE_CONSTRAINT_RANGE).word(0).word(0).word(100).word(0);
    }
    return wire;
}

Bytes parametersReply() {
    return Wire()
        .word(0)
        .word(SANE_FRAME_GRAY)
        .word(1)
        .word(kWidth)
        .word(kWidth)
        .word(kLines)
        .word(8);
}

Bytes intReply(Word value) {
    return Wire().word(0).word(0).word(SANE_TYPE_INT).word(4).word(1).word(value).word(0);
}

Request control(Word option, Word action, Word value) {
    ControlOptionRequest request;
    request.handle = kHandle;
    request.option = option;
    request.action = action;
    request.valueType = SANE_TYPE_INT;
    request.words = {value};
    return encodeControlOption(request);
}

// Records what a window would show, and stops the read as the frame begins when asked (a key
// pressed while the scanner got ready).
struct Watcher : ScanObserver {
    ScanSession* session = nullptr;
    bool stopAtFrame = false;
    std::vector<std::string> messages;
    std::vector<int> events;
    int frames = 0, ends = 0;

    void status(const std::string& message, bool, bool) override { messages.push_back(message); }
    void scannerEvent(int event) override { events.push_back(event); }
    bool confirmButtonStart() override { return true; }
    void readStarts() override {}
    void frameBegins(int lines) override {
        EXPECT_EQ(lines, kLines);
        ++frames;
        if (stopAtFrame) session->stopReading();
    }
    void rowsRead(int) override {}
    void readEnds() override { ++ends; }
    void regionsCutForFeeder() override {}
};

class ScanSessionScript : public ::testing::Test {
  protected:
    void SetUp() override { socketTimeout = 500; }
    void TearDown() override { socketTimeout = 60000; }

    // The daemon answers `request` with `reply`; the request is expected byte for byte.
    void exchange(const Request& request, const Bytes& reply) {
        control_.receive(request.size()).send(reply);
        expected_.insert(expected_.end(), request.begin(), request.end());
    }
    // One image: the scan area set, the start, the parameters, and on the data connection
    // every row of the frame and the end mark.
    void image(FakeDaemon& data, const std::vector<Word>& area) {
        const Word order[] = {1, 3, 4, 2};  // tl-x, br-x, br-y, tl-y
        for (int i = 0; i < 4; ++i)
            exchange(control(order[i], SANE_ACTION_SET_VALUE, area[order[i] - 1]),
                     intReply(area[order[i] - 1]));
        exchange(encodeStart(kHandle), Wire().word(0).word(data.port()).word(0x1234).string(""));
        exchange(encodeGetParameters(kHandle), parametersReply());
        data.send(Wire()
                      .word(kWidth * kLines)
                      .bytes(std::string(kWidth * kLines, '\x40'))
                      .word(-1)
                      .bytes(std::string(1, '\5')))
            .start();
    }

    FakeDaemon control_, first_, second_;
    Bytes expected_;
};

TEST_F(ScanSessionScript, TwoRegionsAreTwoImagesAndEscapeCancelsTheSecond) {
    ScanSettings settings;
    settings.cancelType = cancelAfterBatch | cancelOnEscape;
    auto session = std::make_unique<ScanSession>(settings);
    Watcher watcher;
    watcher.session = session.get();
    session->setObserver(&watcher);

    control_.receive(17).send(Wire().word(0).word(0x01030000));  // INIT as "user"
    expected_ = encodeInit("user");
    exchange(encodeOpen("dev"), Wire().word(0).word(kHandle).string(""));
    // The edges are not read: each image sets them.
    exchange(encodeGetOptionDescriptors(kHandle), descriptorsReply());
    image(first_, {10, 20, 50, 60});
    image(second_, {5, 5, 95, 95});
    // Escape: one cancel ends the read, and the failed batch cancels once more.
    exchange(encodeCancel(kHandle), Wire().word(0));
    exchange(encodeCancel(kHandle), Wire().word(0));
    exchange(encodeClose(kHandle), Wire().word(0));
    Request exit = encodeExit();
    expected_.insert(expected_.end(), exit.begin(), exit.end());
    control_.start();

    ASSERT_TRUE(session->connect("127.0.0.1", "user", control_.port()));
    ASSERT_TRUE(session->openScanner("dev"));
    EXPECT_EQ(session->scanArea(), (Region{0, 0, 100, 100}));
    EXPECT_TRUE(session->roles().hasArea());
    // The parameters are fetched when read: before the first scan nobody reads them.
    ASSERT_FALSE(watcher.events.empty()) << "the opening's parameters are told";
    EXPECT_EQ(watcher.events.front(), ScannerTransport::parametersChanged);

    session->regions.regions[0] = {10, 20, 50, 60};
    session->regions.regions[1] = {5, 5, 95, 95};
    session->regions.regionCount = 2;
    EXPECT_FALSE(session->beginBatch()) << "no feeder";
    EXPECT_EQ(session->batch.pending(), 2);

    Region area;
    ASSERT_TRUE(session->scanNextImage(area));
    EXPECT_EQ(area, (Region{10, 20, 50, 60}));
    EXPECT_EQ(session->optionArea, area) << "what the daemon took";
    EXPECT_EQ(session->scanBitmap.width(), kWidth);
    EXPECT_EQ(session->scanBitmap.height(), kLines);
    EXPECT_EQ(session->scanBitmap.row(2)[3], 0x40);
    EXPECT_EQ(watcher.messages.back(), "Done (4 x 3)");
    session->endImage(true, true);
    EXPECT_EQ(session->batch.pending(), 1);

    watcher.stopAtFrame = true;
    EXPECT_FALSE(session->scanNextImage(area));
    EXPECT_EQ(area, (Region{5, 5, 95, 95}));
    EXPECT_EQ(watcher.messages.back(), "Operation was cancelled");
    session->endImage(false, true);
    EXPECT_EQ(session->batch.pending(), 0);
    EXPECT_EQ(watcher.frames, 2);
    EXPECT_EQ(watcher.ends, 2);
    EXPECT_FALSE(session->reading());

    session->closeScanner();
    EXPECT_EQ(session->scanner(), nullptr);
    EXPECT_FALSE(session->roles().hasArea());
    session.reset();  // the daemon hears the end of the session
    control_.finish();
    EXPECT_EQ(control_.received(), expected_);
}

}  // namespace
}  // namespace tarnwick::testing
