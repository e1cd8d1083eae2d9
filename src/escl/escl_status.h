// What a ScannerStatus document says: the scanner's and the feeder's state and its jobs, and the
// SANE status a feeder state stands for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "escl/xml_reader.h"
#include "sane/wire_types.h"

namespace tarnwick {

struct EsclJobInfo {
    std::string uri, state;
    std::vector<std::string> reasons;
};

struct EsclStatus {
    std::string state, adfState;
    std::vector<EsclJobInfo> jobs;
    // The job at this path, or null.
    const EsclJobInfo* job(const std::string& path) const;
};

inline constexpr std::size_t kMaxStatusJobs = 256;

std::optional<EsclStatus> parseStatus(const XmlElement& root);
// SANE_STATUS_JAMMED, NO_DOCS, COVER_OPEN or DEVICE_BUSY for a feeder state that keeps a page
// from being scanned; SANE_STATUS_GOOD for the others.
Word statusOfAdfState(const std::string& adfState);

}  // namespace tarnwick
