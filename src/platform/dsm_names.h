// The file names under which the TWAIN Data Source Manager is found on this platform.
#pragma once

#include <span>

namespace platform {

// Tried in order; when none loads, the running program's own exported DSM_Entry stands in.
std::span<const char* const> dsmLibraryNames();

}  // namespace platform
