// eSCL scanners by URL ("http://host:port/eSCL"): whether a device name is one, and the URL and
// name of a scanner found on the network.
#pragma once

#include <string>
#include <string_view>

#include "discovery/found_service.h"

namespace tarnwick {

// Whether a device name is the URL of an eSCL scanner rather than a saned device.
bool isEsclUrl(std::string_view name);
// "http://host:port/rs": a found scanner's host, port and TXT `rs` (missing: "eSCL").
std::string esclUrl(const std::string& host, int port, const std::string& rs, bool rsGiven);
std::string foundScannerUrl(const FoundService& scanner);
// The name an eSCL scanner announces (TXT `ty`), else its instance name.
std::string scannerName(const FoundService& scanner);
// A path without slashes at either end.
std::string trimmedSlashes(std::string_view path);

}  // namespace tarnwick
