// The language the settings file names: key `Language` of section `General`.
#pragma once

#include <string>

namespace tarnwick {

std::string configuredLanguage();

}  // namespace tarnwick
