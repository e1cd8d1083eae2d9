#include "platform/shell_open.h"

namespace platform {

// A source inside a TWAIN host has no business starting programs on Linux; it reports that
// nothing was opened.
bool shellOpen(const std::string&) {
    return false;
}

}  // namespace platform
