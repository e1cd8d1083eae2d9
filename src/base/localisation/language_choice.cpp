#include "base/localisation/language_choice.h"

namespace tarnwick {

std::string initialLanguage(const std::optional<std::string>& lang,
                            const std::string& userLanguage) {
    if (!lang || lang->empty()) return userLanguage;
    return lang->substr(0, lang->find('.'));
}

}  // namespace tarnwick
