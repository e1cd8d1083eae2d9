// Facts about the module this code is linked into (tarnwick.ds, or a test program).
#pragma once

#include <string>

namespace platform {

// Full path of the module's own file; empty when it cannot be found.
std::string moduleFilePath();

}  // namespace platform
