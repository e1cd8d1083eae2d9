#include <gtest/gtest.h>

#include "sane/authorization.h"
#include "sane/procedures.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::StatusRecorder;
using testing::Wire;

struct Captured {
    explicit Captured(Bytes b) : bytes(std::move(b)), source(bytes.data(), bytes.size()) {}
    bool allRead() const { return source.consumed() == bytes.size(); }
    Bytes bytes;
    MemorySource source;
    StatusRecorder recorder;
    StatusCallback callback = recorder.callback();
    WireReader reader{source, callback};
};

Wire device(Wire w, const std::string& name) {
    return w.word(0)
        .string(name)
        .string("Noname")
        .string("frontend-tester")
        .string("virtual device");
}

// name, title, desc, then type, unit, size, cap, constraint type
Wire descriptor(Wire w, const std::string& name, Word type, Word constraint) {
    return w.word(0).string(name).string("T").string("D").word(type).word(0).word(4).word(5).word(
        constraint);
}

TEST(RequestEncoding, ProceduresAndTheirFields) {
    EXPECT_EQ(encodeInit("me"), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 3, 'm', 'e', 0}));
    EXPECT_EQ(encodeExit(), (Bytes{0, 0, 0, 10}));
    EXPECT_EQ(encodeCancel(3), (Bytes{0, 0, 0, 8, 0, 0, 0, 3}));
    EXPECT_EQ(encodeAuthorize("r", "u", "p"),
              Bytes(Wire().word(9).string("r").string("u").string("p")));
}

TEST(RequestEncoding, ControlOptionValueBlocks) {
    ControlOptionRequest numbers{1, 2, SANE_ACTION_SET_VALUE, SANE_TYPE_FIXED, {65536, -1}, {}};
    EXPECT_EQ(
        encodeControlOption(numbers),
        Bytes(Wire().word(5).word(1).word(2).word(1).word(2).word(8).word(2).word(65536).word(-1)));
    ControlOptionRequest flag{1, 3, SANE_ACTION_SET_AUTO, SANE_TYPE_BOOL, {1}, {}};
    EXPECT_EQ(encodeControlOption(flag),
              Bytes(Wire().word(5).word(1).word(3).word(2).word(0).word(4).word(1).word(1)));
    ControlOptionRequest text{1, 4, SANE_ACTION_GET_VALUE, SANE_TYPE_STRING, {}, {'a', 0, 0}};
    EXPECT_EQ(encodeControlOption(text),
              Bytes(Wire().word(5).word(1).word(4).word(0).word(3).word(3).word(3).bytes(
                  std::string("a\0\0", 3))));
}

TEST(InitReply, VersionOnlyOnSuccess) {
    Captured ok(Wire().word(0).word(0x01020304));
    EXPECT_EQ(decodeInitReply(ok.reader).version, 0x01020304);
    Captured refused(Wire().word(4));
    EXPECT_EQ(decodeInitReply(refused.reader).status, 4);
    EXPECT_FALSE(refused.reader.failed());
}

TEST(DevicesReply, NullElementsAreSkippedAndTheRestReadInStep) {
    Wire w;
    w.word(0).word(4);
    w = device(std::move(w), "test:0");
    w.word(1);  // a null element carries nothing
    w = device(std::move(w), "test:1");
    w.word(1);  // terminator
    Captured c(w);
    GetDevicesReply reply = decodeGetDevicesReply(c.reader);
    ASSERT_EQ(reply.devices.size(), 2u);
    EXPECT_EQ(reply.devices[0].name, "test:0");
    EXPECT_EQ(reply.devices[1].name, "test:1");
    EXPECT_EQ(reply.devices[1].type, "virtual device");
    EXPECT_TRUE(c.allRead());
}

TEST(DevicesReply, OnlyTheTerminatorIsAnEmptyList) {
    Captured c(Wire().word(0).word(1).word(1));
    EXPECT_TRUE(decodeGetDevicesReply(c.reader).devices.empty());
    EXPECT_TRUE(c.allRead());
}

TEST(DevicesReply, FailedStatusIsDrained) {
    Captured c(Wire().word(9).word(0).word(0).word(1));
    GetDevicesReply reply = decodeGetDevicesReply(c.reader);
    EXPECT_EQ(reply.status, 9);
    EXPECT_TRUE(c.allRead());
    EXPECT_FALSE(c.reader.failed());
}

TEST(DevicesReply, CountOutOfBoundsIsAProtocolError) {
    for (Word n : {-3, kMaxDevices + 2}) {
        Captured c(Wire().word(0).word(n));
        GetDevicesReply reply = decodeGetDevicesReply(c.reader);
        EXPECT_EQ(reply.status, SANE_STATUS_IO_ERROR);
        EXPECT_TRUE(c.recorder.anyFatal());
    }
}

TEST(DescriptorsReply, ConstraintsOfEachKind) {
    Wire w;
    w.word(4);
    w = descriptor(std::move(w), "resolution", SANE_TYPE_INT, SANE_CONSTRAINT_RANGE);
    w.word(0).word(1).word(1200).word(0);
    w = descriptor(std::move(w), "depth", SANE_TYPE_INT, SANE_CONSTRAINT_WORD_LIST);
    w.word(4).word(3).word(1).word(8).word(16);
    w.word(1);  // null descriptor
    w = descriptor(std::move(w), "mode", SANE_TYPE_STRING, SANE_CONSTRAINT_STRING_LIST);
    w.word(3).string("Gray").string("Color").word(0);
    Captured c(w);
    OptionDescriptorsReply reply = decodeOptionDescriptorsReply(c.reader);
    EXPECT_EQ(reply.count, 4);
    ASSERT_EQ(reply.descriptors.size(), 3u);
    EXPECT_EQ(reply.descriptors[0].range.max, 1200);
    EXPECT_EQ(reply.descriptors[1].wordList, (std::vector<Word>{1, 8, 16}));
    EXPECT_EQ(reply.descriptors[2].index, 3);
    EXPECT_EQ(reply.descriptors[2].stringList, (std::vector<std::string>{"Gray", "Color"}));
    EXPECT_TRUE(c.allRead());
    EXPECT_FALSE(c.reader.failed());
}

TEST(DescriptorsReply, UnknownTypesAndDisallowedConstraintsAreConsumedAndSkipped) {
    Wire w;
    w.word(4);
    w = descriptor(std::move(w), "future", 9, SANE_CONSTRAINT_RANGE);
    w.word(0).word(1).word(2).word(3);
    w = descriptor(std::move(w), "odd-list", SANE_TYPE_STRING, SANE_CONSTRAINT_WORD_LIST);
    w.word(2).word(1).word(5);
    w = descriptor(std::move(w), "flag", SANE_TYPE_BOOL, SANE_CONSTRAINT_STRING_LIST);
    w.word(2).string("x").word(0);
    w = descriptor(std::move(w), "preview", SANE_TYPE_BOOL, SANE_CONSTRAINT_NONE);
    Captured c(w);
    OptionDescriptorsReply reply = decodeOptionDescriptorsReply(c.reader);
    ASSERT_EQ(reply.descriptors.size(), 1u);
    EXPECT_EQ(reply.descriptors[0].name, "preview");
    EXPECT_EQ(reply.descriptors[0].index, 3);
    EXPECT_TRUE(c.allRead());
}

TEST(DescriptorsReply, NullRangeIsSkipped) {
    Wire w;
    w.word(2);
    w = descriptor(std::move(w), "broken", SANE_TYPE_INT, SANE_CONSTRAINT_RANGE);
    w.word(1);
    w = descriptor(std::move(w), "after", SANE_TYPE_BUTTON, SANE_CONSTRAINT_NONE);
    Captured c(w);
    OptionDescriptorsReply reply = decodeOptionDescriptorsReply(c.reader);
    ASSERT_EQ(reply.descriptors.size(), 1u);
    EXPECT_EQ(reply.descriptors[0].name, "after");
}

TEST(DescriptorsReply, BoundsAndUnknownConstraintTypesAreProtocolErrors) {
    Captured tooMany(Wire().word(kMaxDescriptors + 1));
    decodeOptionDescriptorsReply(tooMany.reader);
    EXPECT_TRUE(tooMany.reader.failed());

    Wire list;
    list.word(1);
    list = descriptor(std::move(list), "depth", SANE_TYPE_INT, SANE_CONSTRAINT_WORD_LIST);
    list.word(kMaxListEntries + 2);
    Captured longList(list);
    decodeOptionDescriptorsReply(longList.reader);
    EXPECT_TRUE(longList.reader.failed());

    // Lists within their bounds that together exceed what one reply may take.
    Wire big;
    big.word(3);
    for (const char* name : {"a", "b", "c"}) {
        big = descriptor(std::move(big), name, SANE_TYPE_STRING, SANE_CONSTRAINT_STRING_LIST);
        big.word(51);
        for (int i = 0; i < 50; ++i) big.string(std::string(kMaxStringLength - 1, 'x'));
        big.word(0);
    }
    Captured huge(big);
    EXPECT_LT(decodeOptionDescriptorsReply(huge.reader).descriptors.size(), 3u);
    EXPECT_TRUE(huge.reader.failed());
    EXPECT_NE(huge.recorder.reports.at(0).message.find("reply size"), std::string::npos);

    Wire unknown;
    unknown.word(1);
    unknown = descriptor(std::move(unknown), "x", SANE_TYPE_INT, 4);
    Captured c(unknown);
    EXPECT_TRUE(decodeOptionDescriptorsReply(c.reader).descriptors.empty());
    EXPECT_TRUE(c.reader.failed());
    EXPECT_TRUE(c.recorder.anyFatal());
}

TEST(ControlOptionReply, ValueLargerThanTheBufferIsCutAndTheRestDropped) {
    Captured text(Wire()
                      .word(0)
                      .word(1)
                      .word(3)
                      .word(6)
                      .word(6)
                      .bytes("abcde")
                      .bytes(std::string(1, '\0'))
                      .string("res"));
    ControlOptionReply reply = decodeControlOptionReply(text.reader, SANE_TYPE_STRING, 4);
    EXPECT_EQ(reply.raw, (Bytes{'a', 'b', 'c', 'd'}));
    EXPECT_EQ(reply.info, 1);
    EXPECT_EQ(reply.resource, "res");
    EXPECT_TRUE(text.allRead());

    Captured words(Wire().word(0).word(4).word(1).word(12).word(3).word(7).word(8).word(9).word(0));
    ControlOptionReply numbers = decodeControlOptionReply(words.reader, SANE_TYPE_INT, 2);
    EXPECT_EQ(numbers.words, (std::vector<Word>{7, 8}));
    EXPECT_TRUE(words.allRead());
}

// saned answers a refused request with the whole record (as captured from saned 1.1.1): it is
// read to its end, so the next reply starts where it should, and only its status counts.
TEST(ControlOptionReply, FailedReplyIsReadWholeAndOnlyItsStatusCounts) {
    Captured c(Wire().word(4).word(0).word(1).word(4).word(1).word(0).string("").word(0x55));
    ControlOptionReply reply = decodeControlOptionReply(c.reader, SANE_TYPE_INT, 4);
    EXPECT_EQ(reply.status, 4);
    EXPECT_TRUE(reply.words.empty());
    EXPECT_EQ(c.reader.readWord(), 0x55);
    EXPECT_FALSE(c.reader.failed());

    Captured cut(Wire().word(4).word(0).word(1));
    EXPECT_EQ(decodeControlOptionReply(cut.reader, SANE_TYPE_BOOL, 4).status, SANE_STATUS_IO_ERROR);
}

TEST(ControlOptionReply, NegativeValueSizeIsAProtocolError) {
    Captured c(Wire().word(0).word(0).word(3).word(-4).word(0));
    EXPECT_EQ(decodeControlOptionReply(c.reader, SANE_TYPE_STRING, 8).status, SANE_STATUS_IO_ERROR);
    EXPECT_TRUE(c.recorder.anyFatal());
}

TEST(ParametersAndStart, ReadWhateverTheStatus) {
    Captured p(Wire().word(4).word(1).word(1).word(300).word(100).word(-1).word(8));
    GetParametersReply params = decodeGetParametersReply(p.reader);
    EXPECT_EQ(params.status, 4);
    EXPECT_EQ(params.parameters.lines, -1);
    EXPECT_EQ(params.parameters.depth, 8);

    Captured s(Wire().word(0).word(40000).word(0x1234).string(""));
    EXPECT_EQ(decodeStartReply(s.reader).port, 40000);
    Captured bad(Wire().word(0).word(70000).word(0).string(""));
    EXPECT_EQ(decodeStartReply(bad.reader).status, SANE_STATUS_IO_ERROR);
}

TEST(Authorization, ChallengeIsAnsweredWithTheDigest) {
    // MD5("abc") and MD5("") are the RFC 1321 test vectors.
    EXPECT_EQ(authorizationPassword("test$MD5$ab", "c"), "$MD5$900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(authorizationPassword("test$MD5$", ""), "$MD5$d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(authorizationPassword("test", "secret"), "secret");
}

}  // namespace
}  // namespace tarnwick
