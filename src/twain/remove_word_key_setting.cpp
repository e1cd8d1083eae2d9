#include "twain/remove_word_key_setting.h"

namespace tarnwick {

// The settings file is not read by this build yet, so the setting has its default: none.
std::string removeWordKeySetting() {
    return {};
}

}  // namespace tarnwick
