#include "settings/configured_language.h"

#include "base/translate.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_location.h"

namespace tarnwick {

std::string configuredLanguage() {
    try {
        return openSettingsFile()->readText(SettingKey::generalLanguage);
    } catch (const SettingsWriteError&) {
        // A per-user copy that could not be made: the key's default.
        return std::string(settingDefinition(SettingKey::generalLanguage).defaultValue);
    }
}

void useConfiguredLanguage() {
    useLanguage(configuredLanguage());
}

}  // namespace tarnwick
