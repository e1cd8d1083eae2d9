// An eSCL scanner that is hostile or broken, scripted on loopback: every case ends within the
// time-outs with a clear report, and the scanner refuses to open or to give a page.
#include <gtest/gtest.h>

#include <chrono>

#include "base/translate.h"
#include "escl/escl_scanner.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick {
namespace {

using testing::FakeDaemon;
using testing::StatusRecorder;

const std::string kCaps =
    "<scan:ScannerCapabilities xmlns:scan='http://schemas.hp.com/imaging/escl/2011/05/03'>"
    "<scan:Platen><scan:PlatenInputCaps><scan:MaxWidth>300</scan:MaxWidth><scan:MaxHeight>300"
    "</scan:MaxHeight><scan:SettingProfiles><scan:SettingProfile><scan:ColorModes><scan:ColorMode>"
    "RGB24</scan:ColorMode></scan:ColorModes><scan:SupportedResolutions><scan:DiscreteResolutions>"
    "<scan:DiscreteResolution><scan:XResolution>75</scan:XResolution><scan:YResolution>75"
    "</scan:YResolution></scan:DiscreteResolution></scan:DiscreteResolutions>"
    "</scan:SupportedResolutions><scan:DocumentFormats><pwg:DocumentFormat xmlns:pwg='p'>image/png"
    "</pwg:DocumentFormat></scan:DocumentFormats></scan:SettingProfile></scan:SettingProfiles>"
    "</scan:PlatenInputCaps></scan:Platen></scan:ScannerCapabilities>";

std::string reply(const std::string& status, const std::string& body,
                  const std::string& headers = {}) {
    return std::string("HTTP/1.1 ") + status +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" + body;
}

const std::string kCapsReply = reply("200 OK", kCaps);
const std::string kJobReply = reply("201 Created", "", "Location: /eSCL/ScanJobs/1\r\n");

std::string repeated(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += part;
    return text;
}

struct HostileCase {
    const char* name;
    std::string script;  // everything the server sends, at once
    bool scans;          // the case is in the page, after a good opening
    const char* report;  // untranslated
    int withinMs;
};

class EsclHostileServer : public ::testing::TestWithParam<HostileCase> {
  protected:
    void SetUp() override { socketTimeout = 300; }
    void TearDown() override { socketTimeout = 60000; }
};

TEST_P(EsclHostileServer, EndsInTimeWithAClearReport) {
    const HostileCase& c = GetParam();
    FakeDaemon server;
    server.send(Bytes(c.script.begin(), c.script.end()));
    server.start();
    StatusRecorder recorder;
    const auto begun = std::chrono::steady_clock::now();
    {
        EsclScanner scanner(
            std::string("http://127.0.0.1:") + std::to_string(server.port()) + "/eSCL",
            recorder.callback());
        if (c.scans) {
            ASSERT_TRUE(scanner.open({}));
            EXPECT_FALSE(scanner.start());
            EXPECT_NE(scanner.failure(), SANE_STATUS_GOOD);
        } else {
            EXPECT_FALSE(scanner.open({}));
        }
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - begun)
                          .count();
    EXPECT_LT(took, c.withinMs);
    EXPECT_TRUE(recorder.hasMessage(tr(c.report))) << c.report;
    EXPECT_FALSE(recorder.anyFatal());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EsclHostileServer,
    ::testing::Values(
        HostileCase{"OversizedHeaders",
                    "HTTP/1.1 200 OK\r\nX-Pad: " + std::string(100000, 'a') + "\r\n\r\n", false,
                    "The scanner's answer is too large", 2000},
        HostileCase{"HeadersWithoutEnd",
                    std::string("HTTP/1.1 200 OK\r\n") + repeated("X-A: b\r\n", 5000), false,
                    "The scanner's answer is too large", 2000},
        HostileCase{"XmlNestingWithoutEnd", reply("200 OK", repeated("<a>", 100000)), false,
                    "The scanner's answer could not be understood", 2000},
        HostileCase{"XmlDeclaringEntities",
                    reply("200 OK",
                          "<!DOCTYPE l [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                          "<scan:ScannerCapabilities>&b;</scan:ScannerCapabilities>"),
                    false, "The scanner's answer could not be understood", 2000},
        HostileCase{"HtmlInsteadOfCapabilities",
                    reply("200 OK", "<html><body>Log in</body></html>"), false,
                    "The scanner's answer could not be understood", 2000},
        HostileCase{"BusyForEver", repeated(reply("503 Service Unavailable", ""), kBusyRetries + 1),
                    false, "Device busy", (kBusyRetries + 2) * 300},
        HostileCase{"StalledMidBody", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n<scan:",
                    false, "The scanner did not answer in time", 2000},
        HostileCase{"StalledBeforeAnswering", "", false, "The scanner did not answer in time",
                    2000},
        HostileCase{"EndlessChunks",
                    kCapsReply + kJobReply +
                        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                        repeated(std::string("1000\r\n") + std::string(0x1000, 'x') + "\r\n", 600),
                    true, "The scanner's answer is too large", 3000},
        HostileCase{
            "BodyLargerThanTheImage",
            kCapsReply + kJobReply + "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\n\x89PNG",
            true, "The scanner's answer is too large", 2000},
        HostileCase{"PageThatIsNoImage", kCapsReply + kJobReply + reply("200 OK", "<html/>"), true,
                    "The scanner's answer could not be understood", 2000},
        HostileCase{"JobWithoutLocation", kCapsReply + reply("201 Created", ""), true,
                    "Error during device I/O (HTTP 201)", 2000}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick
