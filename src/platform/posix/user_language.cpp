#include "platform/user_language.h"

#include <cstdlib>
#include <string_view>

namespace platform {

// LANG is read by the caller first; these name the message language where LANG does not.
std::string userLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        const std::string_view code(value);
        return std::string(code.substr(0, code.find('.')));
    }
    return {};
}

}  // namespace platform
