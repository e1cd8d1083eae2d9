// Tests on files by path.
#pragma once

#include <string>

namespace platform {

// A file (not a folder) of that name exists.
bool fileExists(const std::string& path);

// The file exists and may not be written: the read-only attribute on Windows; elsewhere no
// write bit is set, or the user has no write permission.
bool fileIsReadOnly(const std::string& path);

}  // namespace platform
