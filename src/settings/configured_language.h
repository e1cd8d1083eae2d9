// The language the settings file names: key `Language` of section `General`.
#pragma once

#include <string>

namespace tarnwick {

std::string configuredLanguage();
// The language of the settings file (default "en"), made current; called when a settings dialog
// is created.
void useConfiguredLanguage();

}  // namespace tarnwick
