#include "discovery/dns_message.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "discovery/found_service.h"
#include "support/dns_builder.h"

namespace tarnwick {
namespace {

using testing::DnsBuilder;
using testing::ServiceReply;
using testing::serviceReply;

std::optional<DnsMessage> parse(const std::vector<std::uint8_t>& bytes) {
    return parseDnsMessage(bytes.data(), bytes.size());
}

TEST(DnsMessage, TheReplyAvahiGivesBecomesOneServiceWithItsHostAndText) {
    const auto message = parse(serviceReply(0x1234));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->id, 0x1234);
    ASSERT_EQ(message->records.size(), 4u);
    ServiceRecords records;
    records.add(*message);
    const std::vector<FoundService> found = records.services();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, ServiceKind::sane);
    EXPECT_EQ(found[0].instance, "saned");
    EXPECT_EQ(found[0].host, "scanhost.local");
    EXPECT_EQ(found[0].port, 6566);
    EXPECT_EQ(found[0].addresses, std::vector<std::string>{"169.254.7.1"});
    EXPECT_EQ(found[0].txtValue("PROTOVERS"), "1010003");
    EXPECT_TRUE(records.missing().empty());
}

TEST(DnsMessage, InstanceLabelsKeepDotsAndSpacesAndNamesCompareWithoutCase) {
    ServiceReply reply;
    reply.type = "_uscan._tcp.local";
    reply.instance = "HP LaserJet 4.0";
    const auto message = parse(serviceReply(1, reply));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->records[0].target.front(), "HP LaserJet 4.0");
    EXPECT_TRUE(sameDnsName(dnsName("_USCAN._Tcp.LOCAL"), message->records[0].name));
    EXPECT_FALSE(sameDnsName(dnsName("_uscan._tcp"), message->records[0].name));
}

// Each builds a message one bound or rule of the wire forbids; the whole message is dropped.
struct Hostile {
    const char* what;
    std::function<std::vector<std::uint8_t>()> bytes;
};

std::vector<std::uint8_t> withAnswerName(const std::function<void(DnsBuilder&)>& name) {
    DnsBuilder b(0, 0, 1);
    name(b);
    b.fields(kDnsA, 1, 10, 4).u32(0x7F000001);
    return b.bytes();
}

const Hostile kHostile[] = {
    {"a header cut short",
     [] {
         return std::vector<std::uint8_t>{0, 0, 0x84, 0};
     }},
    {"a query, not a reply", [] { return DnsBuilder(0, 0, 0, 0, 0x0000).bytes(); }},
    {"a nonzero rcode", [] { return DnsBuilder(0, 0, 0, 0, 0x8403).bytes(); }},
    {"a nonzero opcode", [] { return DnsBuilder(0, 0, 0, 0, 0x8400 | 0x0800).bytes(); }},
    {"a pointer to itself",
     [] { return withAnswerName([](DnsBuilder& b) { b.pointer(b.at()); }); }},
    {"a pointer forward",
     [] { return withAnswerName([](DnsBuilder& b) { b.pointer(b.at() + 2); }); }},
    {"a pointer outside the packet",
     [] { return withAnswerName([](DnsBuilder& b) { b.pointer(0x3FFF); }); }},
    {"a loop of two pointers",
     [] {
         // The first name ends in a pointer to the second, which points back to the first.
         DnsBuilder b(0, 0, 2);
         const std::size_t first = b.at();
         b.name("a", true).pointer(first + 18);
         b.fields(kDnsA, 1, 10, 4).u32(1);
         b.pointer(first).fields(kDnsA, 1, 10, 4).u32(1);
         return b.bytes();
     }},
    {"a label of 64 bytes",
     [] { return withAnswerName([](DnsBuilder& b) { b.name(std::string(64, 'x') + ".local"); }); }},
    {"a label length with the reserved bits 01",
     [] { return withAnswerName([](DnsBuilder& b) { b.u8(0x41).raw("a").u8(0); }); }},
    {"a name beyond 255 bytes",
     [] {
         return withAnswerName([](DnsBuilder& b) {
             for (int i = 0; i < 5; ++i) b.name(std::string(60, 'a'), true);
             b.u8(0);
         });
     }},
    {"a name running past the end",
     [] {
         DnsBuilder b(0, 0, 1);
         b.u8(10).raw("abc");
         return b.bytes();
     }},
    {"more records than the message holds", [] { return DnsBuilder(0, 0, 3).bytes(); }},
    {"a record count beyond the bound", [] { return DnsBuilder(0, 0, 0xFFFF, 0xFFFF).bytes(); }},
    {"record data longer than the packet",
     [] {
         DnsBuilder b(0, 0, 1);
         b.name("h.local").fields(kDnsTxt, 1, 10, 200).u8(3).raw("a=b");
         return b.bytes();
     }},
    {"an address of 5 bytes",
     [] {
         DnsBuilder b(0, 0, 1);
         b.name("h.local").fields(kDnsA, 1, 10, 5).u32(1).u8(1);
         return b.bytes();
     }},
    {"a TXT string running past its record",
     [] {
         DnsBuilder b(0, 0, 2);
         b.name("h.local").fields(kDnsTxt, 1, 10, 2).u8(5).raw("a");
         b.name("h.local").fields(kDnsA, 1, 10, 4).u32(1);
         return b.bytes();
     }},
    {"more TXT strings than the bound",
     [] {
         DnsBuilder b(0, 0, 1);
         b.name("h.local").fields(kDnsTxt, 1, 10, 2 * (kMaxTxtStrings + 1));
         for (std::size_t i = 0; i <= kMaxTxtStrings; ++i) b.u8(1).raw("k");
         return b.bytes();
     }},
    {"an SRV target outside its record",
     [] {
         DnsBuilder b(0, 0, 1);
         b.name("s._sane-port._tcp.local").fields(kDnsSrv, 1, 10, 7).u16(0).u16(0).u16(6566);
         b.name("host.local");
         return b.bytes();
     }},
    {"a message beyond 9000 bytes",
     [] {
         std::vector<std::uint8_t> bytes = serviceReply(0);
         bytes.resize(kMaxDnsMessageBytes + 1);
         return bytes;
     }},
};

TEST(DnsMessage, MalformedOrOversizedMessagesAreDroppedWhole) {
    for (const Hostile& hostile : kHostile) EXPECT_FALSE(parse(hostile.bytes())) << hostile.what;
}

TEST(DnsMessage, APointerToAnEarlierNameAndTheCacheFlushBitAreAccepted) {
    DnsBuilder b(0, 0, 2);
    const std::size_t host = b.at();
    b.name("scanhost.local").fields(kDnsA, 0x8001, 120, 4).u32(0xA9FE0701);
    b.name("other", true).pointer(host + 9).fields(kDnsA, 1, 120, 4).u32(0x7F000001);
    const auto message = parse(b.bytes());
    ASSERT_TRUE(message);
    ASSERT_EQ(message->records.size(), 2u);
    EXPECT_EQ(dnsNameText(message->records[1].name), "other.local");
    EXPECT_EQ(addressText(message->records[0]), "169.254.7.1");
}

TEST(DnsMessage, OtherClassesAndTypesAreSkippedNotRefused) {
    DnsBuilder b(0, 0, 3);
    b.name("h.local").fields(kDnsA, 3, 10, 4).u32(1);          // class CHAOS
    b.name("h.local").fields(47, 1, 10, 3).u8(0).u8(0).u8(0);  // NSEC
    b.name("h.local").fields(kDnsA, 0x8001, 10, 4).u32(0x0A000001);
    const auto message = parse(b.bytes());
    ASSERT_TRUE(message);
    ASSERT_EQ(message->records.size(), 1u);
    EXPECT_EQ(addressText(message->records[0]), "10.0.0.1");
}

TEST(DnsMessage, AQueryCarriesItsIdAndQuestionsInClassIn) {
    const auto query = encodeDnsQuery(0xBEEF, {{dnsName("_sane-port._tcp.local"), kDnsPtr}});
    const std::vector<std::uint8_t> expected = {0xBE, 0xEF, 0,   0,   0,   1,   0,   0,   0,   0,
                                                0,    0,    10,  '_', 's', 'a', 'n', 'e', '-', 'p',
                                                'o',  'r',  't', 4,   '_', 't', 'c', 'p', 5,   'l',
                                                'o',  'c',  'a', 'l', 0,   0,   12,  0,   1};
    EXPECT_EQ(query, expected);
}

TEST(DnsMessage, Ipv6AddressesAreWrittenWithTheLongestZeroRunShortened) {
    const struct {
        std::array<std::uint8_t, 16> bytes;
        const char* text;
    } cases[] = {
        {{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x11, 0x22, 0xff, 0xfe, 0x33, 0x44, 0x55},
         "fe80::211:22ff:fe33:4455"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "::1"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}, "2001:db8:0:1::1"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6}, "2001:db8:1:2:3:4:5:6"},
    };
    for (const auto& c : cases) {
        DnsRecord record;
        record.type = kDnsAaaa;
        record.address = c.bytes;
        EXPECT_EQ(addressText(record), c.text);
    }
}

}  // namespace
}  // namespace tarnwick
