#include "settings/properties_services.h"

#include "base/translate.h"
#include "discovery/service_browser.h"
#include "ui/backend.h"

namespace tarnwick {

std::string PropertiesServices::translate(const std::string& text) {
    return tr(text.c_str());
}

std::vector<std::string> PropertiesServices::languages() {
    return languagesWithDefaultCatalog();
}

std::string PropertiesServices::languageName(const std::string& code) {
    return tarnwick::languageName(code);
}

void PropertiesServices::useLanguage(const std::string& code) {
    tarnwick::useLanguage(code);
}

platform::PrinterList PropertiesServices::printers() {
    return platform::installedPrinters();
}

std::vector<FoundService> PropertiesServices::findSaneHosts() {
    SearchOptions options;
    // The dialog stays painted while the search waits.
    options.keepWaiting = [] {
        ui::processPendingMessages();
        return true;
    };
    return findServices({ServiceKind::sane, ServiceKind::escl}, options);
}

}  // namespace tarnwick
