#include "session/moved_device.h"

#include <algorithm>

namespace tarnwick {

namespace {

std::string backendOf(const std::string& name) {
    return name.substr(0, name.find(':'));
}

}  // namespace

std::string deviceIdentity(const DeviceRecord& record) {
    return record.vendor + "|" + record.model + "|" + record.type;
}

std::optional<std::string> movedDevice(const std::string& savedName, const std::string& identity,
                                       const std::vector<DeviceRecord>& listed) {
    // Without a model nothing tells two devices of one backend apart.
    if (identity.empty() || identity.find("||") != std::string::npos) return std::nullopt;
    const auto named = [&](const DeviceRecord& r) { return r.name == savedName; };
    if (std::any_of(listed.begin(), listed.end(), named)) return std::nullopt;
    std::optional<std::string> found;
    for (const DeviceRecord& record : listed) {
        if (backendOf(record.name) != backendOf(savedName) || deviceIdentity(record) != identity)
            continue;
        if (found) return std::nullopt;
        found = record.name;
    }
    return found;
}

}  // namespace tarnwick
