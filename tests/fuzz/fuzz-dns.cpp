// The multicast DNS reply parser and the gathering of its records into services, over arbitrary
// bytes: a reply is whatever a machine on the network sends.
#include <cstddef>
#include <cstdint>

#include "discovery/dns_message.h"
#include "discovery/found_service.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<DnsMessage> message = parseDnsMessage(data, size);
    if (!message) return 0;
    ServiceRecords records;
    records.add(*message);
    for (const FoundService& service : records.services()) (void)service.txtValue("rs");
    (void)records.missing();
    return 0;
}
