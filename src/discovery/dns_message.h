// DNS messages as multicast DNS uses them: the query a one-shot querier sends, and the records of
// a reply. Every reply is outside input: its size, record count, names (length, compression
// pointers) and record data are bounded, and a message that breaks a bound is dropped whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// RFC 6762 allows messages up to 9000 bytes; anything longer is no reply of ours.
inline constexpr std::size_t kMaxDnsMessageBytes = 9000;
// All sections together; a 9000-byte message of minimal records holds a few hundred.
inline constexpr std::size_t kMaxDnsRecords = 256;
inline constexpr std::size_t kMaxDnsNameBytes = 255;
inline constexpr std::size_t kMaxDnsLabelBytes = 63;
inline constexpr std::size_t kMaxTxtStrings = 64;

enum DnsType : std::uint16_t {
    kDnsA = 1,
    kDnsPtr = 12,
    kDnsTxt = 16,
    kDnsAaaa = 28,
    kDnsSrv = 33,
};

// A name as its labels; instance labels may hold dots and spaces.
using DnsName = std::vector<std::string>;

// "_sane-port._tcp.local" as labels (no escapes: for the fixed names of the code).
DnsName dnsName(const std::string& dotted);
// Labels joined by dots, for messages and host names.
std::string dnsNameText(const DnsName& name);
// DNS names compare without regard to ASCII case.
bool sameDnsName(const DnsName& a, const DnsName& b);

struct DnsRecord {
    DnsName name;
    std::uint16_t type = 0;
    std::uint32_t ttl = 0;
    DnsName target;                          // PTR: the instance; SRV: the host
    std::uint16_t port = 0;                  // SRV
    std::vector<std::string> texts;          // TXT: its strings, empty ones left out
    std::array<std::uint8_t, 16> address{};  // A: the first 4 bytes; AAAA: all 16
};

struct DnsMessage {
    std::uint16_t id = 0;
    // Answer, authority and additional records of class IN, in order; other types and classes
    // are skipped.
    std::vector<DnsRecord> records;
};

// Nothing for a query, a message with a bad opcode or rcode, or a malformed one.
std::optional<DnsMessage> parseDnsMessage(const std::uint8_t* data, std::size_t size);

struct DnsQuestion {
    DnsName name;
    std::uint16_t type = kDnsPtr;
};

// A standard query (class IN, no compression).
std::vector<std::uint8_t> encodeDnsQuery(std::uint16_t id,
                                         const std::vector<DnsQuestion>& questions);

// The numeric text of an A (4 bytes) or AAAA (16 bytes) address.
std::string addressText(const DnsRecord& record);

}  // namespace tarnwick
