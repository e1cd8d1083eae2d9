// The fixture itself: a private saned that accepts several connections, and the local listing.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/saned_fixture.h"

namespace tarnwick::testing {
namespace {

// A connection that stays open as long as the object, so that the daemon's handler keeps serving.
struct Connection {
    int fd = -1;
    ~Connection() {
        if (fd >= 0) ::close(fd);
    }
    // Connects and exchanges SANE_NET_INIT: only a handler of the daemon's answers it.
    bool open(int port) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
        timeval limit{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        // Procedure 0, version 1.0.3, user name "test" (a string is its length, nul included).
        const unsigned char init[] = {0, 0, 0, 0, 1, 0, 0, 3, 0, 0, 0, 5, 't', 'e', 's', 't', 0};
        unsigned char reply[8] = {};  // the status, then the daemon's version
        const unsigned char good[4] = {};
        return ::write(fd, init, sizeof init) == static_cast<ssize_t>(sizeof init) &&
               ::recv(fd, reply, sizeof reply, MSG_WAITALL) == static_cast<ssize_t>(sizeof reply) &&
               std::memcmp(reply, good, sizeof good) == 0;
    }
};

// "pid state" for each process of group `group`, as /proc tells (state Z: ended, not reaped).
std::vector<std::pair<pid_t, char>> groupProcesses(pid_t group) {
    std::vector<std::pair<pid_t, char>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        std::getline(in, stat);
        // The command name in parentheses may hold anything: the fields follow its last ')'.
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        long parent = 0, itsGroup = 0;
        if (fields >> state >> parent >> itsGroup && itsGroup == group)
            found.emplace_back(static_cast<pid_t>(std::stol(name)), state);
    }
    return found;
}

std::string describe(const std::vector<std::pair<pid_t, char>>& processes) {
    std::string text;
    for (const auto& [pid, state] : processes)
        text += (text.empty() ? "" : ", ") + std::to_string(pid) + " " + state;
    return text.empty() ? "none" : text;
}

TEST(SanedFixture, AcceptsSeveralConnectionsAndStopsByPid) {
    pid_t pid = 0;
    Connection first, second;
    {
        SanedFixture saned;
        ASSERT_TRUE(saned.running()) << saned.error();
        pid = saned.pid();
        // Each answered: a handler of its own serves each connection now.
        ASSERT_TRUE(first.open(saned.port()));
        ASSERT_TRUE(second.open(saned.port()));
        auto running = [&] {
            std::vector<std::pair<pid_t, char>> all = groupProcesses(pid);
            return std::count_if(all.begin(), all.end(), [](auto& p) { return p.second != 'Z'; });
        };
        EXPECT_GE(running(), 3) << describe(groupProcesses(pid));
    }
    // The connections are still open, so a handler that the stop missed would still run. Ended
    // ones are reaped too, whether or not this machine's init reaps orphans.
    EXPECT_EQ(describe(groupProcesses(pid)), "none");
    // The group's number is free again. (The port may already serve another test's daemon.)
    const int sent = ::kill(-pid, 0);
    const int error = errno;
    EXPECT_EQ(sent, -1);
    EXPECT_EQ(error, ESRCH);
}

TEST(SanedFixture, TwoDaemonsRunSideBySide) {
    SanedFixture plain;
    SanedFixture protectedOne(true);
    ASSERT_TRUE(plain.running()) << plain.error();
    ASSERT_TRUE(protectedOne.running()) << protectedOne.error();
    EXPECT_NE(plain.port(), protectedOne.port());
}

TEST(SanedFixture, ExtraTestConfLinesOverrideItsDefaults) {
    SanedSetup setup;
    setup.testConf = {"number_of_devices 3"};
    SanedFixture plain;
    SanedFixture three(setup);
    ASSERT_TRUE(plain.running()) << plain.error();
    ASSERT_TRUE(three.running()) << three.error();
    EXPECT_TRUE(scanimageOptions(plain.configDir(), "test:2").empty());
    EXPECT_FALSE(scanimageOptions(three.configDir(), "test:2").empty());
}

TEST(ScanimageListing, ParsesTheTestBackend) {
    SanedFixture saned;
    ASSERT_TRUE(saned.running()) << saned.error();
    std::vector<ListedOption> options = scanimageOptions(saned.configDir());
    ASSERT_FALSE(options.empty());
    auto find = [&](const std::string& name) {
        return std::find_if(options.begin(), options.end(),
                            [&](const ListedOption& o) { return o.name == name; });
    };
    EXPECT_EQ(options.front().kind, ListedKind::group);
    EXPECT_EQ(find("mode")->kind, ListedKind::string);
    EXPECT_EQ(find("depth")->kind, ListedKind::number);
    EXPECT_EQ(find("hand-scanner")->kind, ListedKind::boolean);
    EXPECT_EQ(find("tl-x")->kind, ListedKind::number);
    EXPECT_EQ(find("br-y")->kind, ListedKind::number);
    EXPECT_EQ(find("int")->kind, ListedKind::integer);
    EXPECT_EQ(find("fixed")->kind, ListedKind::fixed);
    EXPECT_EQ(find("fixed-constraint-range")->kind, ListedKind::fixed);
    EXPECT_EQ(find("fixed-constraint-word-list")->kind, ListedKind::fixed);
    EXPECT_EQ(find("int-constraint-array-constraint-word-list")->kind, ListedKind::number);
    EXPECT_EQ(find("string-constraint-string-list")->kind, ListedKind::string);
    EXPECT_EQ(find("button")->kind, ListedKind::button);
    EXPECT_EQ(find("print-options")->kind, ListedKind::button);
}

}  // namespace
}  // namespace tarnwick::testing
