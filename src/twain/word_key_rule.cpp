#include "twain/word_key_rule.h"

#include "platform/registry.h"
#include "twain/identity_text.h"
#include "twain/remove_word_key_setting.h"

namespace tarnwick {

bool isWordLike(const TW_IDENTITY& application) {
    const std::string manufacturer = fieldText(application.Manufacturer);
    return manufacturer.empty() || manufacturer.find("Word") != std::string::npos;
}

WordKeyLinks moduleWordKeyLinks() {
    return {removeWordKeySetting, platform::deleteUserRegistryKey};
}

void applyWordKeyRule(const TW_IDENTITY& application, TW_UINT32 DG, TW_UINT16 DAT,
                      const WordKeyLinks& links) {
    // Events arrive for every message of the application's loop: keep them cheap.
    if (DG == DG_CONTROL && DAT == DAT_EVENT) return;
    if (!isWordLike(application)) return;
    const std::string key = links.readRemoveWordKey();
    if (!key.empty()) links.deleteUserKey(key);
}

}  // namespace tarnwick
