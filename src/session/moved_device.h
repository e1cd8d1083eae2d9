// A USB scanner's SANE name carries its bus address, which changes with the port it is plugged
// into: a saved device the daemon no longer lists is found again by what it is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sane/procedures.h"

namespace tarnwick {

// What the daemon listed of a device besides its name, as kept in the settings file.
std::string deviceIdentity(const DeviceRecord& record);

// The one listed device that is the saved one under another name: the same backend (the name
// up to its first colon), vendor, model and type. None when the saved name is listed, when the
// identity is unknown, or when none or several match.
std::optional<std::string> movedDevice(const std::string& savedName, const std::string& identity,
                                       const std::vector<DeviceRecord>& listed);

}  // namespace tarnwick
