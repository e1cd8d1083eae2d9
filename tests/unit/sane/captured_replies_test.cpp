// Replies captured from a real saned with the test backend (the fuzz seed corpus): each decodes
// whole, to the last byte, without a report.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "sane/procedures.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

Bytes captured(const std::string& name) {
    std::ifstream in(
        std::string(TARNWICK_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz-sane-replies/" + name,
        std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!bytes.empty()) bytes.erase(bytes.begin());  // the fuzz target's selector byte
    return bytes;
}

struct Decoding {
    explicit Decoding(const std::string& name)
        : bytes(captured(name)), source(bytes.data(), bytes.size()) {}
    void expectWhole() {
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(source.consumed(), bytes.size());
        EXPECT_TRUE(recorder.reports.empty());
    }
    Bytes bytes;
    MemorySource source;
    testing::StatusRecorder recorder;
    StatusCallback callback = recorder.callback();
    WireReader reader{source, callback};
};

TEST(CapturedReplies, LogOnDevicesAndOpen) {
    Decoding init("init");
    InitReply i = decodeInitReply(init.reader);
    EXPECT_EQ(i.status, 0);
    EXPECT_EQ((i.version >> 24) & 255, 1);
    init.expectWhole();

    Decoding devices("devices");
    GetDevicesReply d = decodeGetDevicesReply(devices.reader);
    ASSERT_EQ(d.devices.size(), 2u);
    EXPECT_EQ(d.devices[0].name, "test:0");
    EXPECT_EQ(d.devices[1].name, "test:1");
    EXPECT_EQ(d.devices[0].vendor, "Noname");
    devices.expectWhole();

    Decoding open("open");
    EXPECT_EQ(decodeOpenReply(open.reader).status, 0);
    open.expectWhole();
}

TEST(CapturedReplies, DescriptorsOfTheTestBackend) {
    Decoding reply("descriptors");
    OptionDescriptorsReply r = decodeOptionDescriptorsReply(reply.reader);
    reply.expectWhole();
    ASSERT_FALSE(r.descriptors.empty());
    EXPECT_EQ(static_cast<Word>(r.descriptors.size()), r.count);
    bool sawMode = false;
    for (const OptionDescriptor& d : r.descriptors) {
        if (d.name != "mode") continue;
        sawMode = true;
        EXPECT_EQ(d.type, SANE_TYPE_STRING);
        EXPECT_EQ(d.constraintType, SANE_CONSTRAINT_STRING_LIST);
        EXPECT_FALSE(d.stringList.empty());
    }
    EXPECT_TRUE(sawMode);
}

TEST(CapturedReplies, OptionCountParametersAndStart) {
    Decoding control("control-int");
    ControlOptionReply c = decodeControlOptionReply(control.reader, SANE_TYPE_INT, 1);
    ASSERT_EQ(c.words.size(), 1u);
    EXPECT_GT(c.words[0], 1);
    control.expectWhole();

    Decoding parameters("get-parameters");
    EXPECT_EQ(decodeGetParametersReply(parameters.reader).status, 0);
    parameters.expectWhole();

    Decoding start("start");
    StartReply s = decodeStartReply(start.reader);
    EXPECT_EQ(s.status, 0);
    EXPECT_GT(s.port, 0);
    start.expectWhole();
}

}  // namespace
}  // namespace tarnwick
