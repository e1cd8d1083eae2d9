#include "platform/path_conventions.h"

namespace platform {

char folderSeparator() {
    return '\\';
}

std::string userFolderVariable() {
    return "USERPROFILE";
}

}  // namespace platform
