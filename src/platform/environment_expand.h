// Expansion of environment-variable references in a text.
#pragma once

#include <string>

namespace platform {

// Replaces each %NAME% by the value of the variable NAME; a name that is not set stays in the
// text as written, percent signs included.
std::string expandEnvironmentStrings(const std::string& text);

}  // namespace platform
