// Where an eSCL scanner is: its URL as typed or saved ("http://host:port/eSCL"), and the paths
// of its resources and jobs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "discovery/scanner_url.h"

namespace tarnwick {

struct EsclAddress {
    std::string host;  // a name or address; IPv6 without brackets
    int port = 80;
    std::string basePath;  // "/eSCL": leading slash, none at the end ("" for the root)
};

// "http://host[:port][/path]"; without a path, "/eSCL". Nothing for another scheme, an empty
// host or a port outside 1..65535.
std::optional<EsclAddress> parseEsclUrl(std::string_view url);
// The job a ScanJobs reply's Location names, as a path on the scanner: devices send absolute
// paths, relative ones and URLs with a wrong or truncated host, some with a slash at the end.
std::string jobPathOf(std::string_view location, const std::string& basePath);

}  // namespace tarnwick
