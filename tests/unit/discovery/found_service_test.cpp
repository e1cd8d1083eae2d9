#include "discovery/found_service.h"

#include <gtest/gtest.h>

#include "support/dns_builder.h"

namespace tarnwick {
namespace {

using testing::DnsBuilder;

DnsMessage parsed(const DnsBuilder& b) {
    auto message = parseDnsMessage(b.bytes().data(), b.bytes().size());
    EXPECT_TRUE(message);
    return message.value_or(DnsMessage{});
}

DnsBuilder& pointerRecord(DnsBuilder& b, const std::string& type, const std::string& instance,
                          std::uint32_t ttl = 4500) {
    b.name(type);
    const std::size_t fields = b.at();
    return b.fields(kDnsPtr, 1, ttl, 0).name(instance + "." + type).patchLength(fields);
}

DnsBuilder& serviceRecord(DnsBuilder& b, const std::string& instance, const std::string& host,
                          std::uint16_t port) {
    b.name(instance);
    const std::size_t fields = b.at();
    return b.fields(kDnsSrv, 0x8001, 120, 0).u16(0).u16(0).u16(port).name(host).patchLength(fields);
}

TEST(ServiceRecords, RecordsFromSeveralRepliesMakeOneServiceAndMissingOnesAreAskedFor) {
    ServiceRecords records;
    DnsBuilder pointers(0, 0, 2);
    pointerRecord(pointers, "_sane-port._tcp.local", "saned");
    pointerRecord(pointers, "_uscan._tcp.local", "Office MFP");
    records.add(parsed(pointers));
    EXPECT_TRUE(records.services().empty());
    ASSERT_EQ(records.missing().size(), 2u);
    EXPECT_EQ(records.missing()[0].type, kDnsSrv);

    DnsBuilder service(0, 0, 2);
    serviceRecord(service, "saned._sane-port._tcp.local", "scanhost.local", 6566);
    serviceRecord(service, "Office MFP._uscan._tcp.local", "mfp.local", 80);
    records.add(parsed(service));
    ASSERT_EQ(records.services().size(), 2u);
    // Both hosts still lack an address.
    ASSERT_EQ(records.missing().size(), 2u);
    EXPECT_EQ(records.missing()[0].type, kDnsA);

    DnsBuilder addresses(0, 0, 3);
    addresses.name("SCANHOST.local")
        .fields(kDnsAaaa, 0x8001, 120, 16)
        .u32(0xfe800000)
        .u32(0)
        .u32(0)
        .u32(1);
    addresses.name("scanhost.local").fields(kDnsA, 0x8001, 120, 4).u32(0xA9FE0701);
    addresses.name("scanhost.local").fields(kDnsA, 0x8001, 120, 4).u32(0xA9FE0701);
    records.add(parsed(addresses));
    const std::vector<FoundService> found = records.services();
    EXPECT_EQ(found[0].kind, ServiceKind::sane);
    EXPECT_EQ(found[0].addresses, (std::vector<std::string>{"169.254.7.1", "fe80::1"}));
    EXPECT_EQ(found[1].kind, ServiceKind::escl);
    EXPECT_EQ(found[1].instance, "Office MFP");
    EXPECT_EQ(records.missing().size(), 1u);
}

TEST(ServiceRecords, FirstCopiesWinGoodbyesAndForeignTypesAreIgnored) {
    ServiceRecords records;
    DnsBuilder b(0, 0, 7);
    pointerRecord(b, "_sane-port._tcp.local", "saned");
    pointerRecord(b, "_sane-port._tcp.local", "saned");
    pointerRecord(b, "_sane-port._tcp.local", "gone", 0);
    pointerRecord(b, "_printer._tcp.local", "lp");
    serviceRecord(b, "saned._sane-port._tcp.local", "first.local", 6566);
    serviceRecord(b, "saned._sane-port._tcp.local", "second.local", 7000);
    // An instance two labels under its type is no instance of it.
    b.name("_sane-port._tcp.local");
    const std::size_t fields = b.at();
    b.fields(kDnsPtr, 1, 4500, 0).name("a.b._sane-port._tcp.local").patchLength(fields);
    records.add(parsed(b));
    const std::vector<FoundService> found = records.services();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].host, "first.local");
    EXPECT_EQ(found[0].port, 6566);
}

TEST(ServiceRecords, TxtKeysAreFoundWithoutCaseAndTheFirstCopyWins) {
    FoundService service;
    service.txt = {{"rs", "eSCL"}, {"RS", "other"}, {"duplex", ""}};
    EXPECT_EQ(service.txtValue("Rs"), "eSCL");
    EXPECT_EQ(service.txtValue("duplex"), "");
    EXPECT_EQ(service.txtValue("ty"), "");
}

TEST(ServiceRecords, AFloodOfInstancesKeepsAtMostTheBound) {
    ServiceRecords records;
    for (int reply = 0; reply < 4; ++reply) {
        DnsBuilder b(0, 0, 40);
        for (int i = 0; i < 40; ++i) {
            std::string instance = "s";
            instance += std::to_string(reply * 40 + i);
            pointerRecord(b, "_uscan._tcp.local", instance);
        }
        records.add(parsed(b));
    }
    EXPECT_EQ(records.missing().size(), kMaxFoundServices);
}

}  // namespace
}  // namespace tarnwick
