// The language current when the module is loaded.
#pragma once

#include <optional>
#include <string>

namespace tarnwick {

// LANG without anything from its first "." on; the platform's user language when LANG is not
// set or empty.
std::string initialLanguage(const std::optional<std::string>& lang,
                            const std::string& userLanguage);

}  // namespace tarnwick
