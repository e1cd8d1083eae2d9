// What the settings dialog needs of the translation layer and of the platform. The dialog uses
// the process-wide ones; tests give it languages, catalogs and printers of their own.
#pragma once

#include <string>
#include <vector>

#include "discovery/found_service.h"
#include "platform/printers.h"

namespace tarnwick {

class PropertiesServices {
  public:
    virtual ~PropertiesServices() = default;
    // A program text through the default catalog of the current language.
    virtual std::string translate(const std::string& text);
    // Codes of the languages that have a default catalog, in list order.
    virtual std::vector<std::string> languages();
    // The name the languages catalog gives a code; the code itself when it has none.
    virtual std::string languageName(const std::string& code);
    virtual void useLanguage(const std::string& code);
    virtual platform::PrinterList printers();
    // The saned hosts and eSCL scanners that answer a search of the network.
    virtual std::vector<FoundService> findSaneHosts();
};

}  // namespace tarnwick
