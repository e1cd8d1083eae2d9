#include "platform/file_attributes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool fileIsReadOnly(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    // Without any write bit the file counts as read-only even for root, as the attribute does.
    return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace platform
