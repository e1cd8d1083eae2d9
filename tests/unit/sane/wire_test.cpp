#include <gtest/gtest.h>

#include "sane/status.h"
#include "sane/wire_reader.h"
#include "sane/wire_writer.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::StatusRecorder;
using testing::Wire;

struct Captured {
    explicit Captured(Bytes b) : bytes(std::move(b)), source(bytes.data(), bytes.size()) {}
    Bytes bytes;
    MemorySource source;
    StatusRecorder recorder;
    StatusCallback callback = recorder.callback();
    WireReader reader{source, callback};
};

TEST(WireEncoding, WordsGoOutBigEndian) {
    EXPECT_EQ(WireWriter().word(16777216).take(), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(WireWriter().word(-1).take(), (Bytes{0xff, 0xff, 0xff, 0xff}));
}

TEST(WireEncoding, StringsAlwaysCarryTheirNul) {
    EXPECT_EQ(WireWriter().string("").take(), (Bytes{0, 0, 0, 1, 0}));
    EXPECT_EQ(WireWriter().string("abc").take(), (Bytes{0, 0, 0, 4, 'a', 'b', 'c', 0}));
}

TEST(WireEncoding, EveryByteOfARequestKnowsItsItem) {
    const Request r = WireWriter().word(2).string("ab").bytes("xy", 2).take();
    const std::pair<std::size_t, WireItem> cases[] = {
        {0, WireItem::word},   {3, WireItem::word},   {4, WireItem::word},     // string length
        {7, WireItem::word},   {8, WireItem::string}, {10, WireItem::string},  // "ab" and NUL
        {11, WireItem::bytes}, {12, WireItem::bytes}, {99, WireItem::bytes}};
    for (const auto& [offset, item] : cases) EXPECT_EQ(r.itemAt(offset), item) << offset;
}

TEST(WireEncoding, FixedPointTruncatesTowardZero) {
    EXPECT_EQ(toFixedWord(1.5), 98304);
    EXPECT_EQ(WireWriter().word(toFixedWord(-1.5)).take(), (Bytes{0xff, 0xfe, 0x80, 0}));
    EXPECT_EQ(toFixedWord(0.1), 6553);
    EXPECT_DOUBLE_EQ(fromFixedWord(6553), 0.0999908447265625);
    EXPECT_EQ(toIntWord(-2.9), -2);
}

TEST(WireDecoding, WordsAndStrings) {
    Captured c(Wire().word(-2).word(0).rawString(6, std::string("ab\0cd\0", 6)).word(7));
    EXPECT_EQ(c.reader.readWord(), -2);
    EXPECT_EQ(c.reader.readString(), "");
    EXPECT_EQ(c.source.consumed(), 8u);
    EXPECT_EQ(c.reader.readString(), "ab");
    EXPECT_EQ(c.source.consumed(), 18u);
    EXPECT_EQ(c.reader.readWord(), 7);
    EXPECT_TRUE(c.recorder.reports.empty());
}

TEST(WireDecoding, StringLengthsOutOfBoundsAreProtocolErrors) {
    for (Word length : {-1, kMaxStringLength + 1}) {
        Captured c(Wire().word(length).bytes(std::string(16, 'x')));
        EXPECT_EQ(c.reader.readString(), "");
        EXPECT_TRUE(c.reader.failed());
        ASSERT_EQ(c.recorder.reports.size(), 1u);
        EXPECT_TRUE(c.recorder.reports[0].fatal);
        EXPECT_NE(c.recorder.reports[0].message.find("string length"), std::string::npos);
    }
}

TEST(WireDecoding, TruncatedInputFailsOnceAndStaysFailed) {
    Captured c(Bytes{0, 0});
    EXPECT_EQ(c.reader.readWord(), 0);
    EXPECT_EQ(c.reader.readWord(), 0);
    EXPECT_EQ(c.reader.readString(), "");
    EXPECT_TRUE(c.reader.failed());
    EXPECT_EQ(c.recorder.reports,
              (std::vector<testing::Report>{{"The daemon closed the connection", true, true}}));
}

TEST(WireDecoding, WithoutCallbackFailuresAreSilent) {
    Bytes none;
    MemorySource source(none.data(), 0);
    StatusCallback nobody;
    WireReader reader(source, nobody);
    EXPECT_EQ(reader.readWord(), 0);
    EXPECT_EQ(reader.readString(), "");
}

TEST(WireDecoding, CountsAreBounded) {
    Captured c(Wire().word(5).word(6).word(-1));
    EXPECT_EQ(c.reader.readCount(5, "n"), 5);
    EXPECT_EQ(c.reader.readCount(5, "n"), 0);
    EXPECT_TRUE(c.reader.failed());
}

TEST(StatusTexts, KnownAndUnknownCodes) {
    EXPECT_EQ(statusText(0), "Success");
    EXPECT_EQ(statusText(4), "Invalid argument (usually an invalid option value)");
    EXPECT_EQ(statusText(7), "Document feeder out of documents");
    EXPECT_EQ(statusText(11), "Access to resource has been denied");
    EXPECT_EQ(statusText(12), "Unknown SANE status code 12");
    EXPECT_EQ(statusText(-1), "Unknown SANE status code -1");
}

}  // namespace
}  // namespace tarnwick
