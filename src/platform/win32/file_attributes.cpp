#include "platform/file_attributes.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileIsReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace platform
