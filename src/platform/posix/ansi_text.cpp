#include "platform/ansi_text.h"

namespace platform {

// The 8-bit text of this platform is UTF-8 already.
std::string toAnsiCodePage(const std::string& utf8) {
    return utf8;
}

}  // namespace platform
