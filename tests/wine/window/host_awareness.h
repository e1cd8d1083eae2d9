// The DPI awareness of the host process and of its thread, as the host reads them through the
// API, so that a run can tell whether the source changed either.
#pragma once

#include <string>

namespace tarnwick::wine {

// "process N, thread N" (-1 where the system has no such call).
std::string hostAwareness();

}  // namespace tarnwick::wine
