// A ".local" host: the connection asks multicast DNS for its address (a responder on loopback
// plays the host's avahi) and connects there, and a host that then says nothing is still an error
// after the socket's time-out.
#include <gtest/gtest.h>

#include <chrono>

#include "discovery/service_browser.h"
#include "sane/connection.h"
#include "support/dns_builder.h"
#include "support/dns_responder.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::DnsResponder;
using testing::FakeDaemon;
using testing::StatusRecorder;
using testing::Wire;

class LocalHost : public ::testing::Test {
  protected:
    void SetUp() override {
        socketTimeout = 300;
        saved_ = defaultSearchTarget();
        defaultSearchTarget() = {"127.0.0.1", responder.port()};
    }
    void TearDown() override {
        defaultSearchTarget() = saved_;
        socketTimeout = 60000;
    }
    DnsResponder responder{[](const DnsResponder::Datagram& query) {
        const std::uint8_t loopback[4] = {127, 0, 0, 1};
        return std::vector<DnsResponder::Datagram>{
            testing::addressReply(DnsResponder::idOf(query), "scanhost.local", loopback)};
    }};
    FakeDaemon daemon;
    StatusRecorder recorder;

  private:
    SearchTarget saved_;
};

TEST_F(LocalHost, TheNameIsResolvedByMulticastDnsAndKeptForMessages) {
    daemon.receive(17).send(Wire().word(0).word(0x01030000)).start();
    Connection c("scanhost.local", "user", daemon.port(), recorder.callback());
    ASSERT_TRUE(c.connect(true));
    EXPECT_EQ(c.address(), "127.0.0.1");
    EXPECT_EQ(c.host(), "scanhost.local");
    EXPECT_TRUE(recorder.has("Connected to host: scanhost.local", false, false));
    EXPECT_GE(responder.queries(), 1);
    c.disconnect(true);
    daemon.finish();
}

TEST_F(LocalHost, AHostThatAnswersTheNameButNotTheLogOnIsAnErrorAfterTheTimeOut) {
    daemon.receive(17).pause(800).close().start();
    Connection c("scanhost.local", "user", daemon.port(), recorder.callback());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c.connect(true));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_TRUE(recorder.anyFatal());
    EXPECT_LE(ms, 1500) << "the name's answer ends its search; the log-on waits its time-out";
    daemon.finish();
}

}  // namespace
}  // namespace tarnwick
