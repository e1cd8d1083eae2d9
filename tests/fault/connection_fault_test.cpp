#include <gtest/gtest.h>

#include <chrono>

#include "sane/connection.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::FakeDaemon;
using testing::StatusRecorder;
using testing::Wire;

constexpr std::size_t kInitSize = 4 + 4 + 4 + 5;  // number, version, "user"

class ConnectionFault : public ::testing::Test {
  protected:
    void SetUp() override { socketTimeout = 300; }
    void TearDown() override { socketTimeout = 60000; }
    std::unique_ptr<Connection> connection() {
        return std::make_unique<Connection>("127.0.0.1", "user", daemon.port(),
                                            recorder.callback());
    }
    FakeDaemon daemon;
    StatusRecorder recorder;
};

TEST_F(ConnectionFault, LogOnSendsInitAndAcceptsEveryMinorVersion) {
    daemon.receive(kInitSize).send(Wire().word(0).word(0x0103ffff)).start();
    auto c = connection();
    EXPECT_TRUE(c->connect(true));
    EXPECT_TRUE(recorder.has("Connecting to host: 127.0.0.1", false, false));
    EXPECT_TRUE(recorder.has("Connected to host: 127.0.0.1", false, false));
    c->disconnect(true);
    daemon.finish();
    EXPECT_EQ(daemon.received(), Bytes(Wire().word(0).word(16777216).string("user").word(10)));
    EXPECT_TRUE(recorder.has("Disconnected", false, false));
}

TEST_F(ConnectionFault, LogOnRefusals) {
    struct Case {
        Bytes reply;
        testing::Report report;
    } cases[] = {
        {Wire().word(4), {"Unable to connect. Do you have sufficient access rights?", true, true}},
        {Wire().word(0).word(0x02000000),
         {"Protocol version of scanner backend not supported", true, true}},
        {Wire().word(9), {"Error during device I/O", true, true}},
        {Wire().word(12), {"Unknown SANE status code 12", false, false}},
    };
    for (Case& test : cases) {
        FakeDaemon d;
        d.receive(kInitSize).send(test.reply).start();
        StatusRecorder r;
        Connection c("127.0.0.1", "user", d.port(), r.callback());
        EXPECT_FALSE(c.connect(true));
        EXPECT_TRUE(r.has(test.report.message, test.report.showError, test.report.fatal))
            << test.report.message;
    }
}

TEST_F(ConnectionFault, RefusedConnectionIsReportedAndCaught) {
    int port = 0;
    {
        FakeDaemon gone;
        port = gone.port();
    }
    Connection c("127.0.0.1", "user", port, recorder.callback());
    EXPECT_FALSE(c.connect(true));
    EXPECT_TRUE(recorder.has("Error establishing connection to host", true, true));
    c.disconnect(true);  // no stream: nothing to send, no crash
}

TEST_F(ConnectionFault, DaemonThatClosesMidReplyEndsTheReadAtOnce) {
    daemon.receive(kInitSize).send(Bytes{0, 0}).close().start();
    auto c = connection();
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(c->connect(true));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(250));
    EXPECT_TRUE(recorder.has("The daemon closed the connection", true, true));
    EXPECT_FALSE(recorder.hasMessage("Time out reading word from socket"));
}

TEST_F(ConnectionFault, DaemonThatStopsAnsweringTimesOut) {
    daemon.receive(kInitSize).pause(800).start();
    auto c = connection();
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(c->connect(true));
    auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_GE(took, std::chrono::milliseconds(280));
    EXPECT_LT(took, std::chrono::milliseconds(750));
    EXPECT_TRUE(recorder.has("Time out reading word from socket", true, true));
}

TEST_F(ConnectionFault, WordSplitOverTwoSegmentsIsAssembled) {
    daemon.receive(kInitSize)
        .send(Bytes{0})
        .pause(50)
        .send(Bytes{0, 0})
        .pause(50)
        .send(Bytes{0, 1, 0, 0, 0})
        .start();
    auto c = connection();
    EXPECT_TRUE(c->connect(true));
    EXPECT_FALSE(recorder.anyFatal());
}

TEST_F(ConnectionFault, DevicesAreFetchedOnceAndAnEmptyListIsReportedEveryTime) {
    daemon.receive(kInitSize)
        .send(Wire().word(0).word(0x01000000))
        .receive(4)
        .send(Wire().word(0).word(1).word(1))
        .start();
    auto c = connection();
    ASSERT_TRUE(c->connect(true));
    EXPECT_TRUE(c->getDevices().empty());
    EXPECT_TRUE(c->getDevices().empty());
    int reported = 0;
    for (auto& r : recorder.reports) reported += r.message == "No devices found on backend.";
    EXPECT_EQ(reported, 2);
    c.reset();
    daemon.finish();
    EXPECT_EQ(daemon.received().size(), kInitSize + 4 + 4);  // one GET_DEVICES, then EXIT
}

TEST_F(ConnectionFault, FailedDeviceListIsDrainedSoTheConnectionStaysInStep) {
    daemon.receive(kInitSize)
        .send(Wire().word(0).word(0x01000000))
        .receive(4)
        .send(Wire().word(3).word(0))
        .receive(8)
        .send(Wire().word(0))
        .start();
    auto c = connection();
    ASSERT_TRUE(c->connect(true));
    EXPECT_TRUE(c->getDevices().empty());
    EXPECT_EQ(c->call(encodeClose(1), decodeWordReply), 0);
    EXPECT_FALSE(c->reader().failed());
}

TEST_F(ConnectionFault, RequestsOnAConnectionThatNeverOpenedFail) {
    Connection c("127.0.0.1", "user", daemon.port(), recorder.callback());
    EXPECT_EQ(c.call(encodeOpen("test:0"), decodeOpenReply).status, SANE_STATUS_IO_ERROR);
    EXPECT_TRUE(c.reader().failed());
    EXPECT_TRUE(c.getDevices().empty());
}

TEST_F(ConnectionFault, DisconnectWithoutExitSendsNothing) {
    daemon.receive(kInitSize).send(Wire().word(0).word(0x01000000)).start();
    auto c = connection();
    ASSERT_TRUE(c->connect(true));
    c->disconnect(false);
    daemon.finish();
    EXPECT_EQ(daemon.received().size(), kInitSize);
}

TEST_F(ConnectionFault, AConnectNobodyAnswersEndsAfterTheTimeOut) {
    testing::UnansweredPort silent;
    Connection c("127.0.0.1", "user", silent.port(), recorder.callback());
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(c.connect(true));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(2000));
    EXPECT_TRUE(recorder.has("Error establishing connection to host", true, true));
}

// A daemon that takes nothing: the write stalls in the string, and says so.
TEST_F(ConnectionFault, AStalledWriteNamesTheItemItStoppedIn) {
    daemon.pause(4000).start();
    auto c = connection();
    ASSERT_TRUE(c->connect(false));
    const Request request = encodeAuthorize(std::string(32 << 20, 'r'), "u", "p");
    const auto begin = std::chrono::steady_clock::now();
    c->call(request, decodeWordReply);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(3000));
    EXPECT_TRUE(recorder.has("Time out writing string to socket", true, true));
}

TEST_F(ConnectionFault, DiscardInputReturnsOnAnIdleLine) {
    daemon.pause(300).start();
    auto c = connection();
    ASSERT_TRUE(c->connect(false));
    auto begin = std::chrono::steady_clock::now();
    c->discardInput();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(200));
}

}  // namespace
}  // namespace tarnwick
