#include "twain/remove_word_key_setting.h"

#include "settings/settings_file.h"
#include "settings/settings_location.h"

namespace tarnwick {

std::string removeWordKeySetting() {
    try {
        return openSettingsFile()->readText(SettingKey::zoveruRemoveWordKey);
    } catch (const SettingsWriteError&) {
        // A per-user copy that could not be written leaves the clean-up undone, not the request.
        return {};
    }
}

}  // namespace tarnwick
