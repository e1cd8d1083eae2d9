// Collects the reports of a StatusCallback for tests.
#pragma once

#include <string>
#include <vector>

#include "sane/status.h"

namespace tarnwick::testing {

struct Report {
    std::string message;
    bool showError;
    bool fatal;
    bool operator==(const Report&) const = default;
};

struct StatusRecorder {
    std::vector<Report> reports;
    StatusCallback callback() {
        return [this](const std::string& m, bool e, bool f) { reports.push_back({m, e, f}); };
    }
    bool has(const std::string& message, bool showError, bool fatal) const {
        for (const Report& r : reports)
            if (r == Report{message, showError, fatal}) return true;
        return false;
    }
    bool hasMessage(const std::string& message) const {
        for (const Report& r : reports)
            if (r.message == message) return true;
        return false;
    }
    bool anyFatal() const {
        for (const Report& r : reports)
            if (r.fatal) return true;
        return false;
    }
};

}  // namespace tarnwick::testing
