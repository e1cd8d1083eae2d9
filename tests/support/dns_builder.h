// DNS messages byte by byte, for replies a test responder sends (well-formed or not), and the
// reply a multicast DNS responder gives a one-shot query for a service.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::testing {

class DnsBuilder {
  public:
    // The header; counts are written as given, whatever follows.
    DnsBuilder(std::uint16_t id, std::uint16_t questions, std::uint16_t answers,
               std::uint16_t additional = 0, std::uint16_t flags = 0x8400);

    DnsBuilder& u8(std::uint8_t v);
    DnsBuilder& u16(std::uint16_t v);
    DnsBuilder& u32(std::uint32_t v);
    DnsBuilder& raw(const std::string& bytes);
    // Length-prefixed labels of a dotted name, then the terminating zero (unless `open`, when a
    // pointer follows).
    DnsBuilder& name(const std::string& dotted, bool open = false);
    // One label as it is (dots and all).
    DnsBuilder& label(const std::string& text);
    DnsBuilder& pointer(std::size_t offset);
    // Type, class, TTL and the data length of a record whose name was just written.
    DnsBuilder& fields(std::uint16_t type, std::uint16_t recordClass, std::uint32_t ttl,
                       std::uint16_t length);
    // Writes the data length of the record begun at `fieldsAt` (the offset returned by at()
    // before fields()) from what was written since.
    DnsBuilder& patchLength(std::size_t fieldsAt);
    std::size_t at() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

struct ServiceReply {
    std::string type = "_sane-port._tcp.local";
    std::string instance = "saned";
    std::string host = "scanhost.local";
    std::uint16_t port = 6566;
    std::vector<std::string> txt = {"protovers=1010003"};
    std::uint8_t address[4] = {169, 254, 7, 1};
};

// The legacy unicast reply avahi gives: the question repeated, the PTR answer, then SRV, TXT and
// A as additional records, all names compressed.
std::vector<std::uint8_t> serviceReply(std::uint16_t id, const ServiceReply& reply = {});
// The answer to an A query for the host.
std::vector<std::uint8_t> addressReply(std::uint16_t id, const std::string& host,
                                       const std::uint8_t (&address)[4]);

}  // namespace tarnwick::testing
