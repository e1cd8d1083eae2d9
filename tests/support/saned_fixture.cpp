#include "support/saned_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tarnwick::testing {
namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out);
}

bool accepts(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Reaps the daemon `group` leads and all it forked, which are this process's children too once
// the daemon has ended (see the constructor). Bounded: a process that survives SIGKILL, stuck in
// the kernel, stays visible in the group instead of hanging the test.
void reapGroup(pid_t group) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        pid_t reaped = ::waitpid(-group, nullptr, WNOHANG);
        if (reaped > 0) continue;
        if (reaped < 0 && errno != EINTR) return;  // none of the group is left to reap
        if (std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

const char* sanedPath() {
    return ::access("/usr/sbin/saned", X_OK) == 0 ? "/usr/sbin/saned" : "saned";
}

}  // namespace

std::string testBackendConf(const std::string& picture) {
    return "number_of_devices 2\n"
           "mode Gray\n"
           "depth 8\n"
           "hand-scanner false\n"
           "three-pass false\n"
           "three-pass-order RGB\n"
           "resolution_min 1.0\n"
           "resolution_max 1200.0\n"
           "resolution_quant 1.0\n"
           "resolution 50.0\n"
           "test-picture \"" +
           picture +
           "\"\n"
           "read-limit false\n"
           "read-delay false\n"
           "enable-test-options false\n"
           "geometry_min 0.0\n"
           "geometry_max 200.0\n"
           "geometry_quant 1.0\n"
           "tl_x 0.0\n"
           "tl_y 0.0\n"
           "br_x 80.0\n"
           "br_y 100.0\n";
}

// A port nobody listens on right now; a daemon binds it a moment later.
int freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

std::string replayLibraryDir() {
    return TARNWICK_REPLAY_DIR;
}

SanedFixture::SanedFixture(bool protect, int port)
    : SanedFixture(SanedSetup{protect, port, {}, {}, {}}) {}

SanedFixture::SanedFixture(const SanedSetup& setup) : setup_(setup) {
    // A stop ends the daemon's connection handlers with it; those that end after it become
    // orphans. As their subreaper this process reaps them itself: an init that never reaps
    // orphans would keep them as zombies of the daemon's group.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    fs::path base = fs::temp_directory_path() / "tarnwick-saned-XXXXXX";
    std::string pattern = base.string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ = "cannot make a temporary folder";
        return;
    }
    configDir_ = pattern;
    if (!writeConfig()) {
        error_ = "cannot write the saned configuration";
        return;
    }
    if (setup_.port != 0) {
        // Another daemon on the port would answer in place of ours.
        if (accepts(setup_.port))
            error_ = "port " + std::to_string(setup_.port) + " is in use";
        else
            startOnce(setup_.port);
        return;
    }
    // Another test may take the chosen port between the probe and saned's bind.
    for (int attempt = 0; attempt < 3 && !running(); ++attempt) startOnce(freeLoopbackPort());
}

SanedFixture::~SanedFixture() {
    stop();
    if (!configDir_.empty()) {
        std::error_code ignored;
        fs::remove_all(configDir_, ignored);
    }
}

bool SanedFixture::writeConfig() {
    fs::path dir(configDir_);
    std::string testConf = testBackendConf("Solid black");
    for (const std::string& line : setup_.testConf) testConf += line + "\n";
    bool ok = writeFile(dir / "dll.conf", "test\n") &&
              writeFile(dir / "saned.conf", "127.0.0.1\n") &&
              writeFile(dir / "test.conf", testConf);
    if (ok && setup_.protect)
        ok = writeFile(dir / "saned.users",
                       std::string(kSanedUser) + ":" + kSanedPassword + ":test\n");
    return ok;
}

bool SanedFixture::startOnce(int port) {
    if (port == 0) {
        error_ = "no free loopback port";
        return false;
    }
    std::string portText = std::to_string(port);
    std::string logPath = configDir_ + "/saned.log";
    pid_t pid = ::fork();
    if (pid < 0) {
        error_ = "fork failed";
        return false;
    }
    if (pid == 0) {
        // A group of its own, so that stopping it also stops what it forked (a backend's
        // reader, a connection's handler) instead of leaving them behind.
        ::setpgid(0, 0);
        // Without a trailing colon the private folder is the only configuration folder.
        ::setenv("SANE_CONFIG_DIR", configDir_.c_str(), 1);
        if (!setup_.replayListing.empty()) {
            // Found before the system's library, the replay backend serves in its place.
            const char* path = std::getenv("LD_LIBRARY_PATH");
            std::string libraries = replayLibraryDir();
            if (path != nullptr && *path != '\0') libraries += std::string(":") + path;
            ::setenv("LD_LIBRARY_PATH", libraries.c_str(), 1);
            ::setenv("SANE_REPLAY_DUMP", setup_.replayListing.c_str(), 1);
        }
        for (const auto& [name, value] : setup_.environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        if (std::FILE* log = std::fopen(logPath.c_str(), "w")) {
            ::dup2(fileno(log), STDOUT_FILENO);
            ::dup2(fileno(log), STDERR_FILENO);
        }
        const char* path = sanedPath();
        ::execlp(path, "saned", "-l", "-e", "-d", "1", "-b", "127.0.0.1", "-p", portText.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            error_ = "saned exited at start (see " + logPath + ")";
            return false;
        }
        if (accepts(port)) {
            pid_ = pid;
            port_ = port;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-pid, SIGKILL);
    reapGroup(pid);
    error_ = "saned did not accept connections";
    return false;
}

void SanedFixture::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    // Waited for without reaping: the ended daemon keeps its group's number from being reused.
    for (int i = 0; i < 200; ++i) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid_)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // What the daemon forked may outlive it (a reader stuck on a lock): the whole group goes.
    ::kill(-pid_, SIGKILL);
    reapGroup(pid_);
    pid_ = -1;
}

bool SanedFixture::diedOfSignal() const {
    std::ifstream log(configDir_ + "/saned.log");
    std::string line;
    while (std::getline(log, line))
        if (line.find("quit: received signal") != std::string::npos) return true;
    return false;
}

}  // namespace tarnwick::testing
