// Facts about the module this code is linked into (tarnwick.ds, or a test program).
#pragma once

#include <optional>
#include <string>

namespace platform {

// Full path of the module's own file; empty when it cannot be found.
std::string moduleFilePath();

// The module's string resource with this id (1 to 4 exist), as stored; empty when missing.
std::string stringResource(unsigned id);

// ProductName of the module file's version resource, in its first listed language;
// nothing when the file carries no version information.
std::optional<std::string> versionProductName();

}  // namespace platform
