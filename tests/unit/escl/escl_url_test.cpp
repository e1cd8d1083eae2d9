#include <gtest/gtest.h>

#include "escl/escl_url.h"

namespace tarnwick {
namespace {

struct UrlCase {
    const char* url;
    bool valid;
    const char* host;
    int port;
    const char* base;
};

TEST(EsclUrl, ParsesWhatUsersTypeAndRefusesTheRest) {
    const UrlCase cases[] = {
        {"http://scanner.local:8080/eSCL", true, "scanner.local", 8080, "/eSCL"},
        {"HTTP://10.0.0.5/eSCL/", true, "10.0.0.5", 80, "/eSCL"},
        {"http://10.0.0.5", true, "10.0.0.5", 80, "/eSCL"},
        {"http://10.0.0.5:1/", true, "10.0.0.5", 1, ""},
        {"http://[fe80::1%252]:65535/escl", true, "fe80::1%252", 65535, "/escl"},
        {"http://host:0/eSCL", false, "", 0, ""},
        {"http://host:65536/eSCL", false, "", 0, ""},
        {"http://host:80a/eSCL", false, "", 0, ""},
        {"http://:80/eSCL", false, "", 0, ""},
        {"http://[fe80::1/eSCL", false, "", 0, ""},
        {"https://host/eSCL", false, "", 0, ""},
        {"test:0", false, "", 0, ""},
    };
    for (const UrlCase& c : cases) {
        const auto address = parseEsclUrl(c.url);
        ASSERT_EQ(address.has_value(), c.valid) << c.url;
        if (!address) continue;
        EXPECT_EQ(address->host, c.host) << c.url;
        EXPECT_EQ(address->port, c.port) << c.url;
        EXPECT_EQ(address->basePath, c.base) << c.url;
    }
}

TEST(EsclUrl, KeepsOnlyThePathOfAJobLocation) {
    const std::pair<const char*, const char*> cases[] = {
        {"/eSCL/ScanJobs/458417d5", "/eSCL/ScanJobs/458417d5"},
        {"http://wrong-host:80/eSCL/ScanJobs/1", "/eSCL/ScanJobs/1"},
        {"http://[fe80/eSCL/ScanJobs/4060", "/eSCL/ScanJobs/4060"},
        {"/eSCL/ScanJobs/2/", "/eSCL/ScanJobs/2"},
        {"ScanJobs/3", "/eSCL/ScanJobs/3"},
        {"http://host", ""},
    };
    for (const auto& [location, path] : cases) EXPECT_EQ(jobPathOf(location, "/eSCL"), path);
}

TEST(EsclUrl, MakesTheUrlOfAFoundScannerFromItsTextRecord) {
    EXPECT_EQ(esclUrl("scanhost.local", 8090, "", false), "http://scanhost.local:8090/eSCL");
    EXPECT_EQ(esclUrl("10.1.1.1", 80, "/escl/", true), "http://10.1.1.1:80/escl");
    EXPECT_EQ(esclUrl("fe80::1", 80, "", true), "http://[fe80::1]:80/");
}

}  // namespace
}  // namespace tarnwick
