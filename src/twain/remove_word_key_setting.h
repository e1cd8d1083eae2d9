// The setting RemoveWordKey (section Zoveru): the registry key removed for word-like
// applications.
#pragma once

#include <string>

namespace tarnwick {

std::string removeWordKeySetting();

}  // namespace tarnwick
