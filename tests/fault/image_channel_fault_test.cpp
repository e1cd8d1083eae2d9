#include <gtest/gtest.h>

#include <chrono>

#include "sane/image_channel.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::FakeDaemon;
using testing::StatusRecorder;
using testing::Wire;

struct ScriptedAuthorizer : Authorizer {
    std::optional<Credentials> answer;
    std::vector<std::string> asked;
    std::optional<Credentials> ask(const std::string& resource) override {
        asked.push_back(resource);
        return answer;
    }
};

class ImageChannelFault : public ::testing::Test {
  protected:
    void SetUp() override { socketTimeout = 300; }
    void TearDown() override { socketTimeout = 60000; }

    // The control daemon answers SANE_NET_START with the data daemon's port.
    void startReply(Word status = 0) {
        control.receive(8).send(Wire().word(status).word(data.port()).word(0x1234).string(""));
    }
    bool connectAndStart() {
        control.start();
        connection =
            std::make_unique<Connection>("127.0.0.1", "user", control.port(), recorder.callback());
        if (!connection->connect(false)) return false;
        channel = std::make_unique<ImageChannel>(*connection);
        return channel->start(7, authorizer);
    }
    std::vector<std::size_t> readAll(std::size_t maxLength) {
        std::vector<std::size_t> lengths;
        std::vector<std::uint8_t> buffer(maxLength);
        std::size_t length = 0;
        while (lengths.size() < 20 && channel->readData(buffer.data(), maxLength, length))
            lengths.push_back(length);
        return lengths;
    }

    FakeDaemon control, data;
    StatusRecorder recorder;
    ScriptedAuthorizer authorizer;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<ImageChannel> channel;
};

TEST_F(ImageChannelFault, RecordsAreHandedOutInPiecesOfTheBuffer) {
    startReply();
    data.send(Wire()
                  .word(250)
                  .bytes(std::string(250, 'a'))
                  .word(30)
                  .bytes(std::string(30, 'b'))
                  .word(100)
                  .bytes(std::string(100, 'c'))
                  .word(0)
                  .word(-1)
                  .bytes(std::string(1, '\5')))
        .start();
    ASSERT_TRUE(connectAndStart());
    EXPECT_TRUE(channel->receiving());
    EXPECT_EQ(readAll(100), (std::vector<std::size_t>{100, 100, 50, 30, 100, 0}));
    EXPECT_FALSE(channel->receiving());
    EXPECT_EQ(channel->endStatus(), SANE_STATUS_EOF);
    EXPECT_FALSE(recorder.anyFatal());
    EXPECT_FALSE(recorder.hasMessage("Disconnected")) << "the daemon is still connected";
}

TEST_F(ImageChannelFault, BytesArriveIntactAndInOrder) {
    std::string frame;
    for (int i = 0; i < 1000; ++i) frame += static_cast<char>(i * 7);
    startReply();
    data.send(Wire().word(1000).bytes(frame).word(-1)).start();
    ASSERT_TRUE(connectAndStart());
    std::string got;
    std::uint8_t buffer[64];
    std::size_t length = 0;
    while (channel->readData(buffer, sizeof buffer, length))
        got.append(reinterpret_cast<char*>(buffer), length);
    EXPECT_EQ(got, frame);
    EXPECT_EQ(channel->endStatus(), SANE_STATUS_EOF);  // no status byte: a whole frame
}

TEST_F(ImageChannelFault, StatusAfterTheEndMarkReportsAFailedFrame) {
    startReply();
    data.send(Wire().word(4).bytes("abcd").word(-1).bytes(std::string(1, '\x09'))).start();
    ASSERT_TRUE(connectAndStart());
    EXPECT_EQ(readAll(16).size(), 1u);
    EXPECT_EQ(channel->endStatus(), SANE_STATUS_IO_ERROR);
    EXPECT_TRUE(recorder.has("Error during device I/O", true, false));
}

TEST_F(ImageChannelFault, BadRecordLengthsAreProtocolErrors) {
    for (Word length : {-2, kMaxRecordLength + 1}) {
        FakeDaemon c, d;
        c.receive(8).send(Wire().word(0).word(d.port()).word(0).string("")).start();
        d.send(Wire().word(length)).start();
        StatusRecorder r;
        Connection conn("127.0.0.1", "user", c.port(), r.callback());
        ASSERT_TRUE(conn.connect(false));
        ImageChannel ch(conn);
        ASSERT_TRUE(ch.start(1, authorizer));
        std::uint8_t buffer[8];
        std::size_t got = 99;
        EXPECT_FALSE(ch.readData(buffer, sizeof buffer, got));
        EXPECT_EQ(got, 0u);
        EXPECT_EQ(ch.endStatus(), SANE_STATUS_IO_ERROR);
        EXPECT_TRUE(r.anyFatal());
    }
}

TEST_F(ImageChannelFault, ConnectionClosedMidRecordEndsTheFrame) {
    startReply();
    data.send(Wire().word(500).bytes(std::string(120, 'x'))).close().start();
    ASSERT_TRUE(connectAndStart());
    std::uint8_t buffer[1000];
    std::size_t length = 0;
    EXPECT_FALSE(channel->readData(buffer, sizeof buffer, length));
    EXPECT_FALSE(channel->receiving());
    EXPECT_TRUE(recorder.has("The daemon closed the connection", true, true));
}

TEST_F(ImageChannelFault, StalledDataConnectionTimesOut) {
    startReply();
    data.send(Wire().word(10)).pause(800).start();
    ASSERT_TRUE(connectAndStart());
    std::uint8_t buffer[16];
    std::size_t length = 0;
    EXPECT_FALSE(channel->readData(buffer, sizeof buffer, length));
    EXPECT_TRUE(recorder.has("Time out reading bytes from socket", true, true));
}

// Empty records, or one byte at a time within the time-out, complete no row: the frame fails
// after the time-out all the same.
TEST_F(ImageChannelFault, AFrameWithoutProgressTimesOut) {
    for (bool emptyRecords : {true, false}) {
        FakeDaemon c, d;
        c.receive(8).send(Wire().word(0).word(d.port()).word(0).string("")).start();
        if (!emptyRecords) d.send(Wire().word(100));
        for (int i = 0; i < 40; ++i)
            d.send(emptyRecords ? Bytes(Wire().word(0)) : Bytes(Wire().bytes("x")))
                .pause(emptyRecords ? 20 : 200);
        d.start();
        StatusRecorder r;
        Connection conn("127.0.0.1", "user", c.port(), r.callback());
        ASSERT_TRUE(conn.connect(false));
        ImageChannel ch(conn);
        ASSERT_TRUE(ch.start(1, authorizer));
        const auto begin = std::chrono::steady_clock::now();
        std::uint8_t buffer[16];
        std::size_t length = 0;
        int reads = 0;
        while (reads < 1000 && ch.readData(buffer, sizeof buffer, length)) ++reads;
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(700));
        EXPECT_EQ(ch.endStatus(), SANE_STATUS_IO_ERROR);
        EXPECT_TRUE(r.has("Time out reading bytes from socket", true, true)) << emptyRecords;
    }
}

TEST_F(ImageChannelFault, TheWaitHookRunsWhileTheFirstBytesAreAwaitedAndCanStop) {
    startReply();
    control.receive(8).send(Wire().word(0));
    data.pause(1000).send(Wire().word(4).bytes("abcd").word(-1)).start();
    ASSERT_TRUE(connectAndStart());
    int calls = 0;
    channel->setWaitHook([&] { return ++calls < 3; });
    std::uint8_t buffer[16];
    std::size_t length = 0;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(channel->readData(buffer, sizeof buffer, length));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(250));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(channel->endStatus(), SANE_STATUS_CANCELLED);
    EXPECT_FALSE(recorder.anyFatal());
    EXPECT_TRUE(channel->receiving()) << "left for cancel to drain";
    channel->cancel(7);
    EXPECT_FALSE(channel->receiving());
    EXPECT_FALSE(connection->reader().failed());
}

TEST_F(ImageChannelFault, FailedDataConnectEndsTheFrameWithAnError) {
    int gonePort = 0;
    {
        FakeDaemon gone;
        gonePort = gone.port();
    }
    testing::UnansweredPort silent;
    for (int port : {gonePort, silent.port()}) {
        FakeDaemon c;
        c.receive(8).send(Wire().word(0).word(port).word(0).string("")).start();
        StatusRecorder r;
        Connection conn("127.0.0.1", "user", c.port(), r.callback());
        ASSERT_TRUE(conn.connect(false));
        ImageChannel ch(conn);
        const auto begin = std::chrono::steady_clock::now();
        ASSERT_TRUE(ch.start(1, authorizer));
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(2000));
        EXPECT_TRUE(r.has("Error establishing connection to host", true, true));
        std::uint8_t buffer[16];
        std::size_t length = 0;
        EXPECT_FALSE(ch.readData(buffer, sizeof buffer, length));
        EXPECT_EQ(ch.endStatus(), SANE_STATUS_IO_ERROR);
    }
}

TEST_F(ImageChannelFault, CancelDropsPendingBytesAndSendsCancel) {
    startReply();
    control.receive(8).send(Wire().word(0));
    data.send(Wire().word(300).bytes(std::string(300, 'p')).word(-1)).start();
    ASSERT_TRUE(connectAndStart());
    std::uint8_t buffer[100];
    std::size_t length = 0;
    ASSERT_TRUE(channel->readData(buffer, sizeof buffer, length));
    channel->cancel(7);
    EXPECT_EQ(channel->endStatus(), SANE_STATUS_CANCELLED);
    EXPECT_FALSE(channel->readData(buffer, sizeof buffer, length));
    connection.reset();
    control.finish();
    Bytes sent = control.received();
    ASSERT_GE(sent.size(), 16u);
    EXPECT_EQ(Bytes(sent.begin() + 8, sent.begin() + 16), Bytes(Wire().word(8).word(7)));
}

TEST_F(ImageChannelFault, StartStatuses) {
    struct Case {
        Word status;
        bool reported, showError;
    } cases[] = {{7, false, false}, {4, true, false}, {9, true, true}, {12, true, false}};
    for (const Case& test : cases) {
        FakeDaemon c;
        c.receive(8).send(Wire().word(test.status).word(0).word(0).string("")).start();
        StatusRecorder r;
        Connection conn("127.0.0.1", "user", c.port(), r.callback());
        ASSERT_TRUE(conn.connect(false));
        ImageChannel ch(conn);
        EXPECT_FALSE(ch.start(1, authorizer));
        bool found = r.has(statusText(test.status), test.showError, false);
        EXPECT_EQ(found, test.reported) << test.status;
        EXPECT_EQ(ch.startStatus(), test.status);
    }
}

// A device still busy from the session before is asked again with growing pauses: a moment of
// it is waited out, a device that stays busy fails after the bounded wait, and the wait hook
// (Escape, a closed window) ends the wait.
TEST_F(ImageChannelFault, ABusyDeviceIsAskedAgainForABoundedTime) {
    struct Case {
        int busyReplies;
        bool hookStops;
        bool started;
        Word status;
        int atLeastMs, atMostMs;
    } cases[] = {{2, false, true, SANE_STATUS_GOOD, 300, 1500},
                 {40, false, false, SANE_STATUS_DEVICE_BUSY, 2900, 6000},
                 {40, true, false, SANE_STATUS_CANCELLED, 0, 1000}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.busyReplies);
        FakeDaemon c, d;
        for (int i = 0; i < test.busyReplies; ++i)
            c.receive(8).send(Wire().word(SANE_STATUS_DEVICE_BUSY).word(0).word(0).string(""));
        c.receive(8).send(Wire().word(0).word(d.port()).word(0x1234).string(""));
        c.start();
        // Only a start that succeeds connects to the data port.
        if (test.started) d.send(Wire().word(-1)).start();
        StatusRecorder r;
        Connection conn("127.0.0.1", "user", c.port(), r.callback());
        ASSERT_TRUE(conn.connect(false));
        ImageChannel ch(conn);
        ch.setWaitHook([&] { return !test.hookStops; });
        const auto begun = std::chrono::steady_clock::now();
        EXPECT_EQ(ch.start(1, authorizer), test.started);
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - begun)
                                .count();
        EXPECT_EQ(ch.startStatus(), test.status);
        EXPECT_GE(waited, test.atLeastMs);
        EXPECT_LE(waited, test.atMostMs);
        EXPECT_EQ(r.has(statusText(SANE_STATUS_DEVICE_BUSY), true, false),
                  test.status == SANE_STATUS_DEVICE_BUSY);
    }
}

TEST_F(ImageChannelFault, AccessDeniedWithoutAskingIsBounded) {
    for (int i = 0; i < kMaxAccessDeniedRepeats; ++i)
        control.receive(8).send(Wire().word(11).word(0).word(0).string(""));
    EXPECT_FALSE(connectAndStart());
    EXPECT_TRUE(recorder.has("Access to resource has been denied", true, false));
    EXPECT_TRUE(authorizer.asked.empty());
}

TEST_F(ImageChannelFault, ChallengeIsAnsweredWithTheDigestAndTheReplyReadAgain) {
    authorizer.answer = Credentials{"scan", "c"};
    control.receive(8)
        .send(Wire().word(0).word(0).word(0).string("test$MD5$ab"))
        .receive(4 + 16 + 9 + 42)
        .send(Wire().word(0))
        .send(Wire().word(0).word(data.port()).word(0).string(""));
    data.send(Wire().word(-1)).start();
    ASSERT_TRUE(connectAndStart());
    EXPECT_EQ(authorizer.asked, (std::vector<std::string>{"test$MD5$ab"}));
    connection.reset();
    control.finish();
    Bytes sent = control.received();
    Bytes authorize = Wire()
                          .word(9)
                          .string("test$MD5$ab")
                          .string("scan")
                          .string("$MD5$900150983cd24fb0d6963f7d28e17f72");
    ASSERT_GE(sent.size(), 8 + authorize.size());
    EXPECT_EQ(Bytes(sent.begin() + 8, sent.begin() + 8 + authorize.size()), authorize);
}

TEST_F(ImageChannelFault, RefusedAuthorizationAnswersEmptyAndStaysInStep) {
    const Bytes emptyAuthorize = Wire().word(9).string("test").string("").string("");
    control.receive(8)
        .send(Wire().word(0).word(0).word(0).string("test"))
        .receive(emptyAuthorize.size())
        .send(Wire().word(0))
        .send(Wire().word(11).word(0).word(0).string(""))
        .receive(8)
        .send(Wire().word(0));
    EXPECT_FALSE(connectAndStart());
    EXPECT_EQ(authorizer.asked.size(), 1u);
    EXPECT_TRUE(recorder.has("Access to resource has been denied", true, false));
    EXPECT_EQ(connection->call(encodeCancel(7), decodeWordReply), 0);
    EXPECT_FALSE(connection->reader().failed());
    connection.reset();
    control.finish();
    Bytes sent = control.received();
    ASSERT_GE(sent.size(), 8 + emptyAuthorize.size());
    EXPECT_EQ(Bytes(sent.begin() + 8, sent.begin() + 8 + emptyAuthorize.size()), emptyAuthorize);
}

TEST_F(ImageChannelFault, DaemonThatKeepsAskingIsGivenUp) {
    authorizer.answer = Credentials{"u", "p"};
    control.receive(8).send(Wire().word(0).word(0).word(0).string("r"));
    for (int i = 0; i < kMaxAuthorizationRounds; ++i)
        control.receive(4 + 6 + 6 + 6)
            .send(Wire().word(0))
            .send(Wire().word(0).word(0).word(0).string("r"));
    EXPECT_FALSE(connectAndStart());
    EXPECT_EQ(authorizer.asked.size(), static_cast<std::size_t>(kMaxAuthorizationRounds));
    EXPECT_TRUE(recorder.anyFatal());
}

}  // namespace
}  // namespace tarnwick
