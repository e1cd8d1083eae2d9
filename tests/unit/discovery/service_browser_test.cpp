#include "discovery/service_browser.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/dns_builder.h"
#include "support/dns_responder.h"

namespace tarnwick {
namespace {

using testing::DnsBuilder;
using testing::DnsResponder;
using Datagrams = std::vector<DnsResponder::Datagram>;

SearchOptions towards(const DnsResponder& responder, int totalMs = 600) {
    SearchOptions options;
    options.address = "127.0.0.1";
    options.port = responder.port();
    options.totalMs = totalMs;
    return options;
}

// How long a search takes, in milliseconds.
template <class Search>
long long timed(const Search& search) {
    const auto start = std::chrono::steady_clock::now();
    search();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

bool asksFor(const DnsResponder::Datagram& query, std::uint16_t type) {
    return query.size() >= 4 && query[query.size() - 3] == type;
}

TEST(ServiceBrowser, FindsTheServiceOfALegacyUnicastReplyAndAsksAgainAFewTimes) {
    DnsResponder responder([](const DnsResponder::Datagram& query) {
        return asksFor(query, kDnsPtr) && query[13] == '_' && query[14] == 's'
                   ? Datagrams{testing::serviceReply(DnsResponder::idOf(query))}
                   : Datagrams{};
    });
    std::vector<FoundService> found;
    const long long ms =
        timed([&] { found = findServices({ServiceKind::sane}, towards(responder)); });
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].host, "scanhost.local");
    EXPECT_EQ(found[0].addresses.front(), "169.254.7.1");
    EXPECT_GE(ms, 550);
    EXPECT_GE(responder.queries(), 3);
}

TEST(ServiceBrowser, RepliesToAnotherQueryOrOfEscKindsNotAskedForAreNotTaken) {
    DnsResponder responder([](const DnsResponder::Datagram& query) {
        testing::ServiceReply escl;
        escl.type = "_uscan._tcp.local";
        const std::uint16_t id = DnsResponder::idOf(query);
        return Datagrams{testing::serviceReply(static_cast<std::uint16_t>(id + 1)),
                         testing::serviceReply(id, escl)};
    });
    EXPECT_TRUE(findServices({ServiceKind::sane}, towards(responder, 300)).empty());
}

TEST(ServiceBrowser, AHostileResponderLeavesTheSearchBounded) {
    // Loops, a flood of copies and records too large for a message, sent at every query.
    DnsResponder responder([](const DnsResponder::Datagram& query) {
        const std::uint16_t id = DnsResponder::idOf(query);
        Datagrams out;
        DnsBuilder loop(id, 0, 1);
        loop.pointer(loop.at()).fields(kDnsA, 1, 10, 4).u32(1);
        out.push_back(loop.bytes());
        DnsResponder::Datagram huge = testing::serviceReply(id);
        huge.resize(20000, 0xC0);
        out.push_back(huge);
        for (int i = 0; i < 2000; ++i) out.push_back(testing::serviceReply(id));
        return out;
    });
    std::vector<FoundService> found;
    const long long ms =
        timed([&] { found = findServices({ServiceKind::sane}, towards(responder, 500)); });
    EXPECT_LE(ms, 900);
    // The flood's copies are one service.
    EXPECT_LE(found.size(), 1u);
}

TEST(ServiceBrowser, ASilentNetworkEndsTheSearchOnTime) {
    DnsResponder responder([](const DnsResponder::Datagram&) { return Datagrams{}; });
    const long long ms = timed(
        [&] { EXPECT_TRUE(findServices({ServiceKind::sane}, towards(responder, 400)).empty()); });
    EXPECT_GE(ms, 390);
    EXPECT_LE(ms, 800);
}

TEST(ServiceBrowser, TheWaitHookStopsTheSearch) {
    DnsResponder responder([](const DnsResponder::Datagram&) { return Datagrams{}; });
    SearchOptions options = towards(responder, 5000);
    int calls = 0;
    options.keepWaiting = [&] { return ++calls < 3; };
    const long long ms = timed([&] { findServices({ServiceKind::sane}, options); });
    EXPECT_LE(ms, 1000);
    EXPECT_EQ(calls, 3);
}

TEST(ServiceBrowser, ALocalNameResolvesToTheAddressItsHostAnswers) {
    DnsResponder responder([](const DnsResponder::Datagram& query) {
        const std::uint8_t address[4] = {169, 254, 9, 9};
        return asksFor(query, kDnsA) ? Datagrams{testing::addressReply(DnsResponder::idOf(query),
                                                                       "ScanHost.local", address)}
                                     : Datagrams{};
    });
    std::optional<std::string> address;
    const long long ms =
        timed([&] { address = resolveLocalHost("scanhost.local", towards(responder, 3000)); });
    EXPECT_EQ(address, "169.254.9.9");
    // The first answer ends the wait.
    EXPECT_LE(ms, 1000);
    EXPECT_FALSE(resolveLocalHost("other.local", towards(responder, 300)));
}

TEST(ServiceBrowser, OnlyNamesUnderLocalAreMulticastNames) {
    const struct {
        const char* host;
        bool local;
    } cases[] = {{"scanhost.local", true},        {"scanhost.LOCAL.", true}, {"local", false},
                 {"scanhost.localdomain", false}, {"127.0.0.1", false},      {"", false}};
    for (const auto& c : cases) EXPECT_EQ(isLocalHostName(c.host), c.local) << c.host;
}

}  // namespace
}  // namespace tarnwick
