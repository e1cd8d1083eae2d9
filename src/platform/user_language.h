// The language the platform's user works in.
#pragma once

#include <string>

namespace platform {

// A locale code such as "de_DE" or "zh_CN"; empty when the platform names none.
std::string userLanguage();

}  // namespace platform
