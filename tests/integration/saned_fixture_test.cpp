// The fixture itself: a private saned that accepts several connections, and the local listing.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "support/saned_fixture.h"

namespace tarnwick::testing {
namespace {

bool connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

TEST(SanedFixture, AcceptsSeveralConnectionsAndStopsByPid) {
    pid_t pid = 0;
    {
        SanedFixture saned;
        ASSERT_TRUE(saned.running()) << saned.error();
        pid = saned.pid();
        EXPECT_TRUE(connectTo(saned.port()));
        EXPECT_TRUE(connectTo(saned.port()));
    }
    // The daemon and all it forked are gone, and it is reaped. (Its port may already serve
    // another test's daemon.)
    EXPECT_EQ(::kill(-pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST(SanedFixture, TwoDaemonsRunSideBySide) {
    SanedFixture plain;
    SanedFixture protectedOne(true);
    ASSERT_TRUE(plain.running()) << plain.error();
    ASSERT_TRUE(protectedOne.running()) << protectedOne.error();
    EXPECT_NE(plain.port(), protectedOne.port());
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
