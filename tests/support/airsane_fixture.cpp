#include "support/airsane_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "escl/http_connection.h"
#include "support/saned_fixture.h"

namespace tarnwick::testing {

namespace fs = std::filesystem;

bool AirSaneFixture::built() const {
    return *TARNWICK_AIRSANED != '\0' && fs::exists(TARNWICK_AIRSANED);
}

AirSaneFixture::AirSaneFixture(const std::string& testConf) {
    if (!built()) {
        error_ = "AirSane was not built (no peer source beside the checkout)";
        return;
    }
    char pattern[] = "/tmp/tarnwick-airsane-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error_ = "no temporary folder";
        return;
    }
    configDir_ = pattern;
    std::ofstream(configDir_ + "/dll.conf") << "test\n";
    std::ofstream(configDir_ + "/test.conf") << testBackendConf("Color pattern") << testConf;
    for (int attempt = 0; attempt < 3 && !running(); ++attempt) startOnce(freeLoopbackPort());
}

AirSaneFixture::~AirSaneFixture() {
    if (pid_ > 0) {
        ::kill(-pid_, SIGTERM);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (::waitpid(pid_, &status, WNOHANG) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, &status, WNOHANG);
    }
    std::error_code ignored;
    if (!configDir_.empty()) fs::remove_all(configDir_, ignored);
}

bool AirSaneFixture::startOnce(int port) {
    if (port == 0) return false;
    const std::string portOption = std::string("--listen-port=") + std::to_string(port);
    const std::string log = configDir_ + "/airsaned.log";
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::setpgid(0, 0);
        ::setenv("SANE_CONFIG_DIR", configDir_.c_str(), 1);
        if (std::FILE* out = std::fopen(log.c_str(), "w")) {
            ::dup2(fileno(out), STDOUT_FILENO);
            ::dup2(fileno(out), STDERR_FILENO);
        }
        ::execl(TARNWICK_AIRSANED, "airsaned", portOption.c_str(), "--interface=lo",
                "--mdns-announce=false", "--hotplug=false", "--network-hotplug=false",
                "--access-log=-", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    port_ = port;
    // Serving once the scanners are listed: their capabilities answer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            error_ = std::string("airsaned exited at start (see ") + log + ")";
            return false;
        }
        pid_ = pid;
        if (get("/eSCL/ScannerCapabilities").find("ScannerCapabilities") != std::string::npos)
            return true;
        pid_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    error_ = "airsaned did not serve in time";
    return false;
}

std::string AirSaneFixture::url() const {
    return std::string("http://127.0.0.1:") + std::to_string(port_) + "/eSCL";
}

std::string AirSaneFixture::get(const std::string& path) const {
    HttpConnection http("127.0.0.1", port_);
    const HttpReply reply = http.request("GET", path, {}, {}, 1 << 20);
    if (reply.status() != 200) return {};
    return std::string(reply.body.begin(), reply.body.end());
}

}  // namespace tarnwick::testing
