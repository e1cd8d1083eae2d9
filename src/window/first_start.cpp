// The first start without a host: the saned hosts on the network are searched. One found is used
// and saved; of several, the user chooses in the settings dialog, or, where no dialog reaches a
// user, the first by name is used for this start. None leaves the dialog to the user, saying so;
// an eSCL scanner found instead is used without a host.
#include "base/text.h"
#include "escl/escl_url.h"
#include "settings/properties.h"
#include "settings/settings_file.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

std::string foundScannerUrl(const FoundService& scanner) {
    bool rsGiven = false;
    for (const auto& [key, value] : scanner.txt) rsGiven = rsGiven || base::lowered(key) == "rs";
    return esclUrl(scanner.host, scanner.port, scanner.txtValue("rs"), rsGiven);
}

bool TFPreview::scannerFromSearch(SettingsFile& file) {
    // No saned host: an eSCL scanner is reached without one.
    const std::vector<FoundService>& found = FProperties->foundScanners;
    if (found.empty() || !deviceName.empty()) return false;
    deviceName = foundScannerUrl(found.front());
    if (found.size() == 1 && !file.isReadOnly())
        file.writeText(SettingKey::connectionDevice, deviceName);
    return true;
}

bool TFPreview::hostFromSearch(SettingsFile& file) {
    const std::vector<FoundService>& found = FProperties->searchHosts();
    if (found.empty()) return scannerFromSearch(file);
    // The dialog shows what the window uses.
    FProperties->chooseHost(0);
    if (found.size() > 1 && ui::backend().asksUser()) return false;
    host = found.front().host;
    port = found.front().port;
    if (found.size() == 1 && !file.isReadOnly()) {
        file.writeText(SettingKey::connectionHost, host);
        file.writeInteger(SettingKey::connectionPort, port);
    }
    return true;
}

}  // namespace tarnwick
