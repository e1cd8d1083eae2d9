#include "platform/path_conventions.h"

#include "platform/environment.h"

namespace platform {

char folderSeparator() {
    return '/';
}

std::string userFolderVariable() {
    return environmentVariable("USERPROFILE") ? "USERPROFILE" : "HOME";
}

}  // namespace platform
