// Where an eSCL scanner is: its URL as typed or saved ("http://host:port/eSCL"), and the paths
// of its resources and jobs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct EsclAddress {
    std::string host;  // a name or address; IPv6 without brackets
    int port = 80;
    std::string basePath;  // "/eSCL": leading slash, none at the end ("" for the root)
};

// Whether a device name is the URL of an eSCL scanner rather than a saned device.
bool isEsclUrl(std::string_view name);
// "http://host[:port][/path]"; without a path, "/eSCL". Nothing for another scheme, an empty
// host or a port outside 1..65535.
std::optional<EsclAddress> parseEsclUrl(std::string_view url);
// The URL of a scanner found on the network: its host, port and TXT `rs` (missing: "eSCL").
std::string esclUrl(const std::string& host, int port, const std::string& rs, bool rsGiven);
// The job a ScanJobs reply's Location names, as a path on the scanner: devices send absolute
// paths, relative ones and URLs with a wrong or truncated host, some with a slash at the end.
std::string jobPathOf(std::string_view location, const std::string& basePath);

}  // namespace tarnwick
