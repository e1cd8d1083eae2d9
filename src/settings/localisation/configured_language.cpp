#include "settings/localisation/configured_language.h"

namespace tarnwick {

// The settings file is not read here yet: every caller gets the key's default, "en", so the
// scanning window is English unless a language is picked in the settings dialog.
std::string configuredLanguage() {
    return "en";
}

}  // namespace tarnwick
