// How the platform writes paths to per-machine and per-user places.
#pragma once

#include <string>

namespace platform {

// The separator between folder names: '\\' on Windows, '/' elsewhere.
char folderSeparator();

// The environment variable that names the user's own folder: USERPROFILE; on Linux HOME when
// USERPROFILE is not set.
std::string userFolderVariable();

}  // namespace platform
