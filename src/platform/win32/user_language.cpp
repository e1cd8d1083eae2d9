#include "platform/user_language.h"

#include <windows.h>

namespace platform {

std::string userLanguage() {
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    char language[16] = {};
    char country[16] = {};
    if (!GetLocaleInfoA(locale, LOCALE_SISO639LANGNAME, language, sizeof language)) return {};
    std::string code = language;
    if (GetLocaleInfoA(locale, LOCALE_SISO3166CTRYNAME, country, sizeof country) && country[0])
        code += std::string("_") + country;
    return code;
}

}  // namespace platform
