#include "base/translate.h"

#include "base/localisation/language_choice.h"
#include "base/localisation/localisation.h"
#include "platform/environment.h"
#include "platform/module_info.h"
#include "platform/user_language.h"

namespace tarnwick {
namespace {

// Lives from the first lookup to unload; all calls come on the application's thread.
Localisation& process() {
    static Localisation localisation(
        platform::moduleFilePath(),
        initialLanguage(platform::environmentVariable("LANG"), platform::userLanguage()));
    return localisation;
}

}  // namespace

std::string tr(const char* text) {
    return process().translate(kDefaultDomain, text ? text : "");
}

std::string trSane(const std::string& text) {
    return process().translate(kSaneDomain, text);
}

std::string trDomain(std::string_view domain, const std::string& text) {
    return process().translate(domain, text);
}

void useLanguage(const std::string& code) {
    process().useLanguage(code);
}

std::string currentLanguage() {
    return process().language();
}

std::vector<std::string> languagesWithDefaultCatalog() {
    return process().languages();
}

std::string languageName(const std::string& code) {
    return process().languageName(code);
}

}  // namespace tarnwick
