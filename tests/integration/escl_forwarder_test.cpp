// The forwarder that hides an eSCL server's PNG formats: its rewrite of the capabilities, and the
// forwarder in front of AirSane.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "escl/http_connection.h"
#include "support/airsane_fixture.h"
#include "support/escl_forwarder.h"

namespace tarnwick::testing {
namespace {

struct RewriteCase {
    const char* name;
    std::string answer, expected;
};

class PngFormatsRewrite : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(PngFormatsRewrite, DropsPngAndMendsTheLength) {
    EXPECT_EQ(withoutPngFormats(GetParam().answer), GetParam().expected);
}

const std::string kJpeg = "<pwg:DocumentFormat>image/jpeg</pwg:DocumentFormat>";

INSTANTIATE_TEST_SUITE_P(
    Forwarder, PngFormatsRewrite,
    ::testing::Values(
        RewriteCase{"BothElementsWithALength",
                    std::string("HTTP/1.1 200 OK\r\nContent-Length: 150\r\n\r\n") + kJpeg +
                        "<pwg:DocumentFormat>image/png</pwg:DocumentFormat>\r\n"
                        "<scan:DocumentFormatExt>image/png</scan:DocumentFormatExt>",
                    std::string("HTTP/1.1 200 OK\r\nContent-Length: ") +
                        std::to_string(kJpeg.size()) + "\r\n\r\n" + kJpeg},
        RewriteCase{"NoLengthStaysWithout",
                    "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<DocumentFormat> image/png "
                    "</DocumentFormat>" +
                        kJpeg,
                    std::string("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n") + kJpeg},
        RewriteCase{"LowerCaseLengthHeader",
                    "HTTP/1.1 200 OK\r\ncontent-length: 63\r\nServer: x\r\n\r\n"
                    "<scan:DocumentFormatExt>image/png</scan:DocumentFormatExt>!!!!!",
                    "HTTP/1.1 200 OK\r\ncontent-length: 5\r\nServer: x\r\n\r\n!!!!!"},
        // Unmatched prefixes are no element of one format: left as they came.
        RewriteCase{"MismatchedPrefixesKept",
                    "HTTP/1.1 200 OK\r\n\r\n<pwg:DocumentFormat>image/png</scan:DocumentFormat>",
                    "HTTP/1.1 200 OK\r\n\r\n<pwg:DocumentFormat>image/png</scan:DocumentFormat>"},
        RewriteCase{"OtherFormatsKept", std::string("HTTP/1.1 200 OK\r\n\r\n") + kJpeg,
                    std::string("HTTP/1.1 200 OK\r\n\r\n") + kJpeg},
        RewriteCase{"HeadersNeverEnded", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n",
                    "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class ForwarderInFrontOfAirSane : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!airsane_.built()) GTEST_SKIP() << airsane_.error();
        ASSERT_TRUE(airsane_.running()) << airsane_.error();
        forwarder_ = std::make_unique<PngHidingForwarder>(airsane_.port());
        ASSERT_TRUE(forwarder_->running()) << forwarder_->error();
    }

    HttpReply ask(const std::string& method, const std::string& path, const std::string& body = {},
                  const std::string& type = {}) {
        HttpConnection http("127.0.0.1", forwarder_->port());
        return http.request(method, path, body, type, 1 << 20);
    }

    AirSaneFixture airsane_;
    std::unique_ptr<PngHidingForwarder> forwarder_;
};

TEST_F(ForwarderInFrontOfAirSane, HidesPngAndPassesTheRestThrough) {
    const std::string direct = airsane_.get("/eSCL/ScannerCapabilities");
    ASSERT_NE(direct.find("image/png"), std::string::npos);
    const HttpReply reply = ask("GET", "/eSCL/ScannerCapabilities");
    ASSERT_EQ(reply.status(), 200);
    const std::string hidden(reply.body.begin(), reply.body.end());
    EXPECT_EQ(hidden.find("image/png"), std::string::npos);
    EXPECT_NE(hidden.find("image/jpeg"), std::string::npos);
    EXPECT_EQ(withoutPngFormats(std::string("\r\n\r\n") + direct),
              std::string("\r\n\r\n") + hidden);
    // A job asked for through it is the server's: its Location answers there.
    const std::string settings = "<scan:ScanSettings/>";
    const HttpReply job = ask("POST", "/eSCL/ScanJobs", settings, "text/xml");
    EXPECT_EQ(job.status(), 201);
    EXPECT_EQ(forwarder_->posted(), std::vector<std::string>{settings});
}

TEST_F(ForwarderInFrontOfAirSane, StopsAtOnceWithAnIdleConnectionOpen) {
    const int idle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(forwarder_->port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(idle, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::send(idle, "GET /eSCL", 9, MSG_NOSIGNAL);  // a request that never ends
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto begun = std::chrono::steady_clock::now();
    forwarder_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(2));
    ::close(idle);
}

}  // namespace
}  // namespace tarnwick::testing
