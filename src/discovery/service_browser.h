// The one-shot multicast DNS search: queries sent from an ephemeral port (so responders answer
// that port directly, RFC 6762 s6.7), repeated a few times, and the replies collected until the
// search's time is up. Every wait is bounded by the clock, every reply by the parser's bounds, and
// the number of datagrams looked at by maxDatagrams: a responder that floods ends nothing later.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "discovery/found_service.h"

namespace tarnwick {

// Where searches send their queries unless told otherwise: the multicast DNS group. Test programs
// point it at loopback, so that no test asks the machine's network.
struct SearchTarget {
    std::string address = "224.0.0.251";
    int port = 5353;
};
SearchTarget& defaultSearchTarget();

struct SearchOptions {
    // Tests point a search at a responder of their own on loopback.
    std::string address = defaultSearchTarget().address;
    int port = defaultSearchTarget().port;
    int totalMs = 1500;
    int sends = 3;
    std::size_t maxDatagrams = 512;
    // Called between waits of at most 50 ms (the window's pending messages); false stops.
    std::function<bool()> keepWaiting;
};

// The services of these kinds that answered; a failed socket finds nothing.
std::vector<FoundService> findServices(const std::vector<ServiceKind>& kinds,
                                       const SearchOptions& options = {});

// A name under "local." is a multicast DNS name: its IPv4 address as text, nothing for other
// names and for a host that did not answer in time.
bool isLocalHostName(const std::string& host);
std::optional<std::string> resolveLocalHost(const std::string& host,
                                            const SearchOptions& options = {});

}  // namespace tarnwick
